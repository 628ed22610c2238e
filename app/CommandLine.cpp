#include "app/CommandLine.h"
#include "common/TextHelpers.h"

#include <QFileInfo>
#include <QStringList>

namespace {
QString usage(const QString &program, const QString &filesFolder)
{
    QString text
        = QStringLiteral("Usage: %1 [PATH.ksd]\n"
                         "Edits the HTML pages of a small web site; opens the site definition PATH.ksd if given.\n\n"
                         "  -h, --help     show this help and end\n"
                         "  -v, --version  show the version and end\n")
              .arg(program);
    if (!filesFolder.isEmpty())
        text += QStringLiteral("\nSettings and tag database: %1\n").arg(filesFolder);
    return text;
}

// Without a display Qt would abort; say how to start on a virtual one instead.
bool hasDisplay()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith(QLatin1String("xcb"))
        && !platform.startsWith(QLatin1String("wayland")))
        return true;
    return !qEnvironmentVariable("DISPLAY").isEmpty() || !qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty();
}

QString noDisplay(const QString &program, const QStringList &arguments)
{
    return QStringLiteral("%1: no display found (DISPLAY is not set).\n"
                          "To run it on a virtual display, start it as:\n"
                          "  xvfb-run -a -s \"-screen 0 1280x800x24\" %2\n")
        .arg(program, (QStringList{program} + arguments).join(QLatin1Char(' ')));
}
}   // namespace

CommandLine parseCommandLine(int argc, const char *const *argv, const QString &filesFolder)
{
    const QString program = argc > 0 ? QString::fromLocal8Bit(argv[0]) : basSystem::appTitle;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine command;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return {QString(), usage(program, filesFolder), 0};
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
            return {QString(), basSystem::appTitle + QLatin1Char(' ') + basSystem::appVersion + QLatin1Char('\n'), 0};
        if (argument.startsWith(QLatin1Char('-')) || !command.definition.isEmpty())
            return {QString(), usage(program, filesFolder), 2};
        command.definition = QFileInfo(argument).absoluteFilePath();
    }
    if (!hasDisplay())
        return {QString(), noDisplay(program, arguments), 1};
    return command;
}
