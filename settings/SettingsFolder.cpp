#include "settings/SettingsFolder.h"
#include "common/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace settingsFolder {

namespace {
// A settings file that can be replaced where it is: the file and its folder writable,
// since an atomic write puts a new file beside the old one.
bool writableSettings(const QString &folder, const QString &name)
{
    const QFileInfo file(QDir(folder).filePath(name));
    return file.isFile() && file.isWritable() && QFileInfo(folder).isWritable();
}

// Copies the default file `source` to `target`, creating the target's folder.
bool copyDefault(const QString &source, const QString &target, QString *reason)
{
    if (!QDir().mkpath(QFileInfo(target).path())) {
        *reason = QStringLiteral("cannot create the folder");
        return false;
    }
    const std::optional<QByteArray> bytes = readFileBytes(source, reason);
    if (!bytes) {
        *reason = source + QStringLiteral(": ") + *reason;
        return false;
    }
    return writeFileAtomic(target, *bytes, reason);
}
}   // namespace

QString installedDefaults(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/pagekiln"));
}

Choice choose(const QString &programFolder, const QString &userFolder, const QString &settingsName)
{
    if (writableSettings(programFolder, settingsName))
        return {programFolder, QString()};
    const bool ownFiles = QFileInfo(QDir(programFolder).filePath(settingsName)).isFile();
    return {userFolder, ownFiles ? programFolder : installedDefaults(programFolder)};
}

bool placeDefaults(const Choice &choice, const QStringList &names, QString *failedPath, QString *reason)
{
    if (choice.defaults.isEmpty())
        return true;
    const QDir folder(choice.folder);
    for (const QString &name : names) {
        const QString target = folder.filePath(name);
        if (QFileInfo::exists(target))
            continue;
        if (!copyDefault(QDir(choice.defaults).filePath(name), target, reason)) {
            *failedPath = target;
            return false;
        }
    }
    return true;
}

}   // namespace settingsFolder
