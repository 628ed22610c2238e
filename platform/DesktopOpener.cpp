#include "platform/DesktopOpener.h"
#include "platform/PlatformTexts.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <utility>

namespace {
// How much of the opener's error output is read at its end: its last lines are its answer.
constexpr qint64 readErrorBytes = 4096;

// The last readErrorBytes of `file`, or nothing when there is none.
QByteArray tailOf(QTemporaryFile *file)
{
    if (!file)
        return QByteArray();
    file->seek(std::max<qint64>(0, file->size() - readErrorBytes));
    return file->readAll();
}
}   // namespace

QString openerReason(const QByteArray &errorOutput, const QString &fallback)
{
    const QList<QByteArray> lines = errorOutput.split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line)
        if (const QByteArray trimmed = line->trimmed(); !trimmed.isEmpty())
            return QString::fromLocal8Bit(trimmed);
    return fallback;
}

bool openWithDesktop(const QString &path, std::function<void(const QString &reason)> failed)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    // The process has no parent, so that the program's end never kills an opener that is
    // still running, nor the browser it may have started in the foreground; it goes away
    // once it has answered. For the same reason its error output goes into a file, not
    // into a pipe that would break when the program ends: the file's name is removed as
    // soon as the opener runs, and the file read through the handle kept open here.
    auto *process = new QProcess;
    auto *errors = new QTemporaryFile(process);
    if (errors->open()) {
        process->setStandardErrorFile(errors->fileName());
        QObject::connect(process, &QProcess::started, errors, [errors] { QFile::remove(errors->fileName()); });
    } else {
        delete std::exchange(errors, nullptr);
        process->setStandardErrorFile(QProcess::nullDevice());
    }
    process->setProgram(opener);
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, errors, failed](int exitCode, QProcess::ExitStatus status) {
                         if (status == QProcess::CrashExit)
                             failed(openerReason(tailOf(errors), process->errorString()));
                         else if (exitCode != 0)
                             failed(openerReason(tailOf(errors), platformTexts::openerExitCode(exitCode)));
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;   // the end of a process that ran is answered by finished
        failed(process->errorString());
        process->deleteLater();
    });
    process->start();
    return true;
}
