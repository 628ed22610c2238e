#include "app/CommandLine.h"
#include "app/ShutdownSignals.h"
#include "app/Translation.h"
#include "app/mdiMain.h"
#include "common/TextHelpers.h"
#include "platform/Platform.h"
#include "platform/QtPlatform.h"
#include "platform/WindowStyle.h"
#include "settings/Settings.h"
#include "settings/SettingsFolder.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

namespace {
// Where the settings file and tag database are kept: beside the program when it can
// write them there, else in the user's configuration folder.
settingsFolder::Choice chooseFilesFolder()
{
    QCoreApplication::setApplicationName(basSystem::appTitle);
    return settingsFolder::choose(QtPlatform::executableFolder(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                                  basSystem::settingsFileName);
}
}   // namespace

int main(int argc, char *argv[])
{
    const settingsFolder::Choice files = chooseFilesFolder();
    const CommandLine command = parseCommandLine(argc, argv, files.folder);
    if (!command.answer.isEmpty()) {
        std::fputs(command.answer.toLocal8Bit().constData(), command.exitCode == 0 ? stdout : stderr);
        return command.exitCode;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(basSystem::appVersion);
    QtPlatform::setProgramFolderOverride(files.folder, files.defaults);
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
