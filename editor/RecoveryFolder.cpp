#include "editor/RecoveryFolder.h"
#include "app/basSystem.h"
#include "common/TextFile.h"
#include "editor/frmChild1.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace recoveryFolder {

QString path()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
}

QString write(const RecoveryCopy &copy, QString *error)
{
    const QString folder = path();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create ") + folder;
        return {};
    }
    const QString file = folder + QLatin1Char('/') + recoveryFileName(copy);
    return writeFileAtomic(file, formatRecoveryCopy(copy), error, LinkPolicy::Replace) ? file : QString();
}

QList<Found> findAll()
{
    QList<Found> found;
    const QDir dir(path());
    const QStringList names = dir.entryList({QStringLiteral("*.recovery")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (std::optional<RecoveryCopy> copy = parseRecoveryCopy(file.readAll()))
            found.append({file.fileName(), std::move(*copy)});
    }
    return found;
}

void writeAll()
{
    for (const QPointer<frmChild1> &editor : std::as_const(basSystem::gPageEditors))
        if (frmChild1 *e = basSystem::liveEditor(editor))
            e->writeRecoveryCopy();
}

}   // namespace recoveryFolder
