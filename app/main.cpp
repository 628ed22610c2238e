#include "app/ShutdownSignals.h"
#include "app/mdiMain.h"
#include "platform/Platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pageKiln"));
    mdiMain frame;
    installShutdownHandlers(&frame);
    if (!frame.MDIForm_Load())
        return 1;
    // A signal during a start-up message box waits for it; shut down before showing anything.
    runPendingShutdown();
    if (frame.hasShutDown())
        return 0;
    frame.show();
    return app.exec();
}
