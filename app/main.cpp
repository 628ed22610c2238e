#include "app/ShutdownSignals.h"
#include "app/mdiMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pageKiln"));
    mdiMain frame;
    installShutdownHandlers(&frame);
    if (!frame.MDIForm_Load())
        return 1;
    if (frame.hasShutDown())
        return 0;
    frame.show();
    return app.exec();
}
