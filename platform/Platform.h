#pragma once
// The one place through which the program reaches the desktop: message and input boxes,
// file dialogs, modal dialogs, the browser, the busy pointer, keystrokes, the program
// folder and the twip scale. The real implementation talks to Qt; tests install a
// scripted one that answers from queues and records every request.

#include <QString>

#include <functional>

class QDialog;
class QWidget;
class FileDialog;

enum class FileDialogMode { Open, Save };

// Message box style codes as the program uses them (0 = OK button, no icon), and the
// codes of the buttons that close it.
constexpr int vbOKOnly = 0;
constexpr int vbYesNo = 4;
constexpr int vbDefaultButton2 = 256;
constexpr int vbOK = 1;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// The answers to the question asked before unsaved changes would be discarded.
enum class SaveChoice { Save, Discard, Cancel };
// The answers to a yes/no question: はい, いいえ, or neither (Esc, the close box, a shutdown).
enum class YesNoChoice { Yes, No, Closed };

class Platform
{
public:
    virtual ~Platform() = default;

    // The modal requests. Each runs an event loop of its own until it is answered. A
    // shutdown asked for meanwhile waits until every open request has returned (see
    // requestShutdown); while it waits, every request answers as cancelled at once.

    // A modal message box; returns the code of the button that closed it (No for a Yes/No
    // box that was cancelled, OK for any other).
    int messageBox(const QString &prompt, const QString &title, int style);
    // Asks whether to save changes before they are discarded: 保存, 保存しない, キャンセル
    // (Cancel when cancelled).
    SaveChoice askToSave(const QString &prompt, const QString &title);
    // A question answered with はい or いいえ; true for はい (false when cancelled).
    bool askYesNo(const QString &prompt, const QString &title);
    // The same, telling いいえ from a question closed without an answer.
    YesNoChoice askYesNoChoice(const QString &prompt, const QString &title);
    // A modal input box; returns the typed text, or an empty text on Cancel.
    QString inputBox(const QString &prompt, const QString &title);
    // Shows a standard file dialog for `dialog`'s properties; returns the chosen full
    // path, or an empty text when the user cancelled.
    QString runFileDialog(const FileDialog &dialog, FileDialogMode mode);
    // Shows one of our own dialogs modally and returns its result code (Rejected when
    // cancelled).
    int execModal(QDialog &dialog);
    // Closes every open modal request as cancelled; a waiting shutdown calls it.
    virtual void cancelModalRequests() { }

    // Opens a file in the desktop's default browser without waiting for it. When the
    // desktop answers that it could not, `failed` is called with its reason (which may be
    // empty), later or at once.
    virtual void openInBrowser(const QString &path, std::function<void(const QString &reason)> failed) = 0;
    // Opens a web address (http://...) in the desktop's default browser in the same way.
    virtual void openAddressInBrowser(const QString &address, std::function<void(const QString &reason)> failed) = 0;
    // The screen's busy pointer, for the whole application.
    virtual void setBusyPointer(bool busy) = 0;
    virtual bool isBusyPointer() const = 0;
    // Types one key into the widget that has the focus, queued behind the current event.
    virtual void sendKey(QWidget *target, int key, const QString &text) = 0;
    // The folder where the program keeps its files (settings, tag database, preview
    // copies): its own folder, or the user's configuration folder for an installed program.
    virtual QString programFolder() const = 0;
    // Where a first start copies the settings file and tag database from when the program
    // folder lacks them; empty when they are kept beside the program.
    virtual QString defaultsFolder() const = 0;
    // Twips per device-independent pixel, horizontally and vertically.
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;

protected:
    // The requests themselves, shown and answered by the implementation.
    virtual int showMessageBox(const QString &prompt, const QString &title, int style) = 0;
    virtual SaveChoice showSaveQuestion(const QString &prompt, const QString &title) = 0;
    virtual YesNoChoice showYesNoQuestion(const QString &prompt, const QString &title) = 0;
    virtual QString showInputBox(const QString &prompt, const QString &title) = 0;
    virtual QString showFileDialog(const FileDialog &dialog, FileDialogMode mode) = 0;
    virtual int showModal(QDialog &dialog) = 0;
};

// The answer of a message box of `style` that was closed without a choice.
int cancelledAnswer(int style);

// Shutdown waits for modal requests: with none open, `shutdown` runs at once. Otherwise
// the open requests are closed as cancelled, the commands that made them return, and
// `shutdown` runs from the event loop once the last request has returned; the first
// shutdown asked for is the one that runs.
void requestShutdown(std::function<void()> shutdown);
// True from a shutdown request that waits for modal requests until the shutdown starts.
bool shutdownRequested();
// How many modal requests are open, nested ones counted.
int openModalRequests();
// Runs a waiting shutdown now, if there is one (start-up, before the event loop runs).
void runPendingShutdown();

// The platform in use; the real one unless a test installed another.
Platform &platform();
// Queues a key press and release for `target`, as typing would deliver them.
void postKeyStroke(QWidget *target, int key, const QString &text);

// Installs `p` (not owned) as the platform, nullptr for the real one; returns the one
// installed before, so that it can be put back.
Platform *setPlatform(Platform *p);
