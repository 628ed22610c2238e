#include "platform/DesktopOpener.h"
#include "platform/PlatformTexts.h"

#include <QProcess>
#include <QStandardPaths>

#include <memory>

namespace {
// What is kept of the opener's error output: its last lines are the answer, and a browser
// it starts in the foreground may go on writing there for as long as it runs.
constexpr qsizetype keptErrorBytes = 4096;

void keepTail(QByteArray &kept, const QByteArray &more)
{
    kept += more;
    if (kept.size() > keptErrorBytes)
        kept = kept.right(keptErrorBytes);
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
    // still running, nor the browser it may have started in the foreground. It goes away
    // once it has answered.
    auto *process = new QProcess;
    auto errors = std::make_shared<QByteArray>();
    process->setProgram(opener);
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::readyReadStandardError, process,
                     [process, errors] { keepTail(*errors, process->readAllStandardError()); });
    QObject::connect(process, &QProcess::finished, process,
                     [process, errors, failed](int exitCode, QProcess::ExitStatus status) {
                         keepTail(*errors, process->readAllStandardError());
                         if (status == QProcess::CrashExit)
                             failed(openerReason(*errors, process->errorString()));
                         else if (exitCode != 0)
                             failed(openerReason(*errors, platformTexts::openerExitCode(exitCode)));
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
