#include "app/CommandLine.h"
#include "app/ShutdownSignals.h"
#include "app/Translation.h"
#include "app/mdiMain.h"
#include "common/TextHelpers.h"
#include "platform/Platform.h"
#include "platform/WindowStyle.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    const CommandLine command = parseCommandLine(argc, argv);
    if (!command.answer.isEmpty()) {
        std::fputs(command.answer.toLocal8Bit().constData(), command.exitCode == 0 ? stdout : stderr);
        return command.exitCode;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(basSystem::appTitle);
    QApplication::setApplicationVersion(basSystem::appVersion);
    installQtTranslation(app);
    installWindowStyle();
    mdiMain frame;
    installShutdownHandlers(&frame);
    if (!frame.MDIForm_Load())
        return 1;
    // A signal during a start-up message box waits for it; shut down before showing anything.
    runPendingShutdown();
    if (frame.hasShutDown())
        return 0;
    frame.showAsRemembered();
    if (!command.definition.isEmpty())
        frame.openDefinition(command.definition);
    return app.exec();
}
