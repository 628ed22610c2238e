#pragma once
#include "platform/Platform.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

class FileDialog;

// A platform for tests: answers dialogs and input boxes from queues and records every
// request, so a test can drive the real forms offscreen and check what a user would see.
class ScriptedPlatform : public Platform
{
public:
    struct Message {
        QString prompt;
        QString title;
        int style = vbOKOnly;
    };
    struct DialogRequest {
        FileDialogMode mode;
        QString title;
        QString filter;
        int filterIndex;
        QString defaultExt;
        QString initDir;
        QString fileName;
    };
    using ModalAction = std::function<void(QDialog &)>;

    ScriptedPlatform();             // installs itself
    ~ScriptedPlatform() override;   // puts back the platform installed before it

    // Answers for the next file dialogs: a full path, or an empty text for Cancel.
    QQueue<QString> fileAnswers;
    // Answers for the next input boxes (empty when none is queued: Cancel).
    QQueue<QString> inputAnswers;
    // What to do with the next modal dialogs of our own; with none queued the dialog is
    // closed by its close box.
    QQueue<ModalAction> modalActions;
    // Answers for the next questions before unsaved changes are discarded (Cancel when
    // none is queued), and the questions asked.
    QQueue<SaveChoice> saveAnswers;
    QStringList saveQuestions;
    // Answers for the next Yes/No message boxes; with none queued, the default button.
    QQueue<int> messageAnswers;
    // Answers for the next yes/no questions (no when none is queued), and the questions asked.
    QQueue<bool> yesNoAnswers;
    QStringList yesNoQuestions;
    // Called for every message box while it is "open".
    std::function<void(const Message &)> onMessage;
    // Called for every modal request while it is open ("message", "input", "file" or
    // "modal"), as the request's event loop would run: a test may deliver events here,
    // such as a shutdown.
    std::function<void(const QString &kind)> onRequest;

    QList<Message> messages;
    QList<DialogRequest> dialogs;
    QStringList inputPrompts;
    // The files and addresses opened in the browser. With browserFails the desktop answers at once that
    // it failed, for browserFailReason; with realOpener the desktop's own opener runs.
    QStringList browserRequests;
    bool browserFails = false;
    QString browserFailReason;
    bool realOpener = false;
    int busyRequests = 0;
    QString folder;
    QString defaults;   // empty: the settings are kept in `folder`, as beside the program
    double twipsX = 15.0;
    double twipsY = 15.0;

    QStringList messageTexts() const;

    void openInBrowser(const QString &path, std::function<void(const QString &reason)> failed) override;
    void openAddressInBrowser(const QString &address, std::function<void(const QString &reason)> failed) override;
    void setBusyPointer(bool busy) override;
    bool isBusyPointer() const override;
    void sendKey(QWidget *target, int key, const QString &text) override;
    QString programFolder() const override;
    QString defaultsFolder() const override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;

protected:
    int showMessageBox(const QString &prompt, const QString &title, int style) override;
    SaveChoice showSaveQuestion(const QString &prompt, const QString &title) override;
    YesNoChoice showYesNoQuestion(const QString &prompt, const QString &title) override;
    QString showInputBox(const QString &prompt, const QString &title) override;
    QString showFileDialog(const FileDialog &dialog, FileDialogMode mode) override;
    int showModal(QDialog &dialog) override;

private:
    void requestOpen(const QString &kind) const;

    Platform *mPrevious = nullptr;
    int mBusyDepth = 0;
};
