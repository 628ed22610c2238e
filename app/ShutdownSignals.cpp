#include "app/ShutdownSignals.h"
#include "app/mdiMain.h"
#include "platform/KForm.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int gSignalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &c, 1);
}
} // namespace

void installShutdownHandlers(mdiMain *frame)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, frame);
    QPointer<mdiMain> target(frame);
    QObject::connect(notifier, &QSocketNotifier::activated, frame, [notifier, target] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(gSignalPipe[0], &c, 1);
        notifier->setEnabled(false);
        if (target)
            target->closeFrame(vbAppWindows);
    });
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, frame, [target] {
        if (target)
            target->closeFrame(vbAppWindows);
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
}
