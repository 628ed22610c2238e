#include "platform/Platform.h"
#include "platform/QtPlatform.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {
Platform *gInstalled = nullptr;
int gModalDepth = 0;
std::function<void()> gPendingShutdown;

// Counts one open modal request; when the last one returns, a waiting shutdown is posted
// to the event loop, so that it runs after the command that made the request returned.
class ModalScope
{
public:
    ModalScope() { ++gModalDepth; }
    ~ModalScope()
    {
        if (--gModalDepth == 0 && gPendingShutdown)
            QTimer::singleShot(0, QCoreApplication::instance(), runPendingShutdown);
    }
    ModalScope(const ModalScope &) = delete;
    ModalScope &operator=(const ModalScope &) = delete;
};
}   // namespace

int cancelledAnswer(int style)
{
    return (style & 7) == vbYesNo ? vbNo : vbOK;
}

int Platform::messageBox(const QString &prompt, const QString &title, int style)
{
    if (shutdownRequested())
        return cancelledAnswer(style);
    const ModalScope scope;
    const int answer = showMessageBox(prompt, title, style);
    return shutdownRequested() ? cancelledAnswer(style) : answer;
}

SaveChoice Platform::askToSave(const QString &prompt, const QString &title)
{
    if (shutdownRequested())
        return SaveChoice::Cancel;
    const ModalScope scope;
    const SaveChoice answer = showSaveQuestion(prompt, title);
    return shutdownRequested() ? SaveChoice::Cancel : answer;
}

bool Platform::askYesNo(const QString &prompt, const QString &title)
{
    return askYesNoChoice(prompt, title) == YesNoChoice::Yes;
}

YesNoChoice Platform::askYesNoChoice(const QString &prompt, const QString &title)
{
    if (shutdownRequested())
        return YesNoChoice::Closed;
    const ModalScope scope;
    const YesNoChoice answer = showYesNoQuestion(prompt, title);
    return shutdownRequested() ? YesNoChoice::Closed : answer;
}

QString Platform::inputBox(const QString &prompt, const QString &title)
{
    if (shutdownRequested())
        return QString();
    const ModalScope scope;
    const QString answer = showInputBox(prompt, title);
    return shutdownRequested() ? QString() : answer;
}

QString Platform::runFileDialog(const FileDialog &dialog, FileDialogMode mode)
{
    if (shutdownRequested())
        return QString();
    const ModalScope scope;
    const QString answer = showFileDialog(dialog, mode);
    return shutdownRequested() ? QString() : answer;
}

int Platform::execModal(QDialog &dialog)
{
    if (shutdownRequested()) {
        dialog.setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    const ModalScope scope;
    const int answer = showModal(dialog);
    return shutdownRequested() ? int(QDialog::Rejected) : answer;
}

void requestShutdown(std::function<void()> shutdown)
{
    if (gModalDepth == 0 && !gPendingShutdown) {
        shutdown();
        return;
    }
    if (!gPendingShutdown)
        gPendingShutdown = std::move(shutdown);
    platform().cancelModalRequests();
}

bool shutdownRequested()
{
    return bool(gPendingShutdown);
}

int openModalRequests()
{
    return gModalDepth;
}

void runPendingShutdown()
{
    // Requests made by the shutdown itself (a failed settings write) are shown again.
    if (const std::function<void()> shutdown = std::exchange(gPendingShutdown, nullptr))
        shutdown();
}

Platform &platform()
{
    if (gInstalled)
        return *gInstalled;
    static QtPlatform real;
    return real;
}

Platform *setPlatform(Platform *p)
{
    return std::exchange(gInstalled, p);
}

void postKeyStroke(QWidget *target, int key, const QString &text)
{
    if (!target)
        return;
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}
