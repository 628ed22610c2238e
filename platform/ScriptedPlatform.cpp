#include "platform/ScriptedPlatform.h"
#include "platform/FileDialog.h"

#include <QCoreApplication>
#include <QDialog>

ScriptedPlatform::ScriptedPlatform() : mPrevious(setPlatform(this))
{
}

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

int ScriptedPlatform::messageBox(const QString &prompt, const QString &title, int)
{
    messages.append({prompt, title});
    if (onMessage)
        onMessage(messages.constLast());
    return vbOK;
}

SaveChoice ScriptedPlatform::askToSave(const QString &prompt, const QString &)
{
    saveQuestions << prompt;
    return saveAnswers.isEmpty() ? SaveChoice::Cancel : saveAnswers.dequeue();
}

bool ScriptedPlatform::askYesNo(const QString &prompt, const QString &)
{
    yesNoQuestions << prompt;
    return !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue();
}

QString ScriptedPlatform::inputBox(const QString &prompt, const QString &)
{
    inputPrompts << prompt;
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
}

QString ScriptedPlatform::runFileDialog(const FileDialog &d, FileDialogMode mode)
{
    dialogs.append({mode, d.DialogTitle, d.Filter, d.FilterIndex, d.DefaultExt, d.InitDir, d.FileName});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

int ScriptedPlatform::execModal(QDialog &dialog)
{
    // Run the dialog's own event loop so that whatever the action does (press a button,
    // close the window) ends it exactly as it would for a user.
    ModalAction action = modalActions.isEmpty() ? ModalAction() : modalActions.dequeue();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (action)
        action(dialog);
    if (dialog.isVisible())
        dialog.close();
    return dialog.result();
}

bool ScriptedPlatform::openInBrowser(const QString &path)
{
    browserRequests << path;
    return !browserFails;
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

double ScriptedPlatform::twipsPerPixelX() const
{
    return twipsX;
}

double ScriptedPlatform::twipsPerPixelY() const
{
    return twipsY;
}
