#include "platform/ScriptedPlatform.h"
#include "platform/FileDialog.h"
#include "platform/DesktopOpener.h"

#include <QCoreApplication>
#include <QDialog>

ScriptedPlatform::ScriptedPlatform() : mPrevious(setPlatform(this)) { }

ScriptedPlatform::~ScriptedPlatform()
{
    setPlatform(mPrevious);
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList texts;
    for (const Message &m : messages)
        texts << m.prompt;
    return texts;
}

SaveChoice ScriptedPlatform::showSaveQuestion(const QString &prompt, const QString &)
{
    saveQuestions << prompt;
    requestOpen(QStringLiteral("save question"));
    return saveAnswers.isEmpty() ? SaveChoice::Cancel : saveAnswers.dequeue();
}

YesNoChoice ScriptedPlatform::showYesNoQuestion(const QString &prompt, const QString &)
{
    yesNoQuestions << prompt;
    requestOpen(QStringLiteral("yes/no question"));
    return !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue() ? YesNoChoice::Yes : YesNoChoice::No;
}

void ScriptedPlatform::requestOpen(const QString &kind) const
{
    if (onRequest)
        onRequest(kind);
}

int ScriptedPlatform::showMessageBox(const QString &prompt, const QString &title, int style)
{
    messages.append({prompt, title, style});
    if (onMessage)
        onMessage(messages.constLast());
    requestOpen(QStringLiteral("message"));
    if ((style & 7) != vbYesNo)
        return vbOK;
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    return (style & vbDefaultButton2) ? vbNo : vbYes;
}

QString ScriptedPlatform::showInputBox(const QString &prompt, const QString &)
{
    inputPrompts << prompt;
    requestOpen(QStringLiteral("input"));
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
}

QString ScriptedPlatform::showFileDialog(const FileDialog &d, FileDialogMode mode)
{
    dialogs.append({mode, d.DialogTitle, d.Filter, d.FilterIndex, d.DefaultExt, d.InitDir, d.FileName});
    requestOpen(QStringLiteral("file"));
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

int ScriptedPlatform::showModal(QDialog &dialog)
{
    // The dialog is shown, and whatever the action does (press a button, close the window)
    // ends it exactly as it would for a user; a shutdown meanwhile closes it as cancelled.
    ModalAction action = modalActions.isEmpty() ? ModalAction() : modalActions.dequeue();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    requestOpen(QStringLiteral("modal"));
    if (shutdownRequested())
        dialog.reject();
    else if (action)
        action(dialog);
    if (dialog.isVisible())
        dialog.close();
    return dialog.result();
}

void ScriptedPlatform::openInBrowser(const QString &path, std::function<void(const QString &reason)> failed)
{
    browserRequests << path;
    if (realOpener && !openWithDesktop(path, failed))
        failed(QString());
    else if (!realOpener && browserFails)
        failed(browserFailReason);
}

void ScriptedPlatform::openAddressInBrowser(const QString &address, std::function<void(const QString &reason)> failed)
{
    openInBrowser(address, std::move(failed));
}

void ScriptedPlatform::setBusyPointer(bool busy)
{
    if (busy) {
        ++mBusyDepth;
        ++busyRequests;
    } else if (mBusyDepth > 0) {
        --mBusyDepth;
    }
}

bool ScriptedPlatform::isBusyPointer() const
{
    return mBusyDepth > 0;
}

void ScriptedPlatform::sendKey(QWidget *target, int key, const QString &text)
{
    postKeyStroke(target, key, text);
}

QString ScriptedPlatform::programFolder() const
{
    return folder;
}

QString ScriptedPlatform::defaultsFolder() const
{
    return defaults;
}

double ScriptedPlatform::twipsPerPixelX() const
{
    return twipsX;
}

double ScriptedPlatform::twipsPerPixelY() const
{
    return twipsY;
}
