#include "app/ShutdownSignals.h"
#include "app/mdiMain.h"
#include "platform/KForm.h"
#include "platform/Platform.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {
int gSignalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &c, 1);
}

// Closes the frame for the session's end, once no modal request is open: a dialog or
// message box open at the time is closed as cancelled and its command returns first, so
// that no window is freed under a command that is still running.
void shutDown(const QPointer<mdiMain> &target)
{
    requestShutdown([target] {
        if (target)
            target->closeFrame(vbAppWindows);
    });
}
}   // namespace

void installShutdownHandlers(mdiMain *frame)
{
    for (int &fd : gSignalPipe)
        if (fd >= 0)
            ::close(std::exchange(fd, -1));
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, frame);
    QPointer<mdiMain> target(frame);
    QObject::connect(notifier, &QSocketNotifier::activated, frame, [notifier, target] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(gSignalPipe[0], &c, 1);
        notifier->setEnabled(false);
        shutDown(target);
    });
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, frame, [target] { shutDown(target); });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
}
