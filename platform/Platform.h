#pragma once
// The one place through which the program reaches the desktop: message and input boxes,
// file dialogs, modal dialogs, the browser, the busy pointer, keystrokes, the program
// folder and the twip scale. The real implementation talks to Qt; tests install a
// scripted one that answers from queues and records every request.

#include <QString>

class QDialog;
class QWidget;
class FileDialog;

enum class FileDialogMode { Open, Save };

// Message box style codes as the program uses them (0 = OK button, no icon).
constexpr int vbOKOnly = 0;
constexpr int vbOK = 1;

// The answers to the question asked before unsaved changes would be discarded.
enum class SaveChoice { Save, Discard, Cancel };

class Platform
{
public:
    virtual ~Platform() = default;

    // A modal message box; returns the code of the button that closed it.
    virtual int messageBox(const QString &prompt, const QString &title, int style) = 0;
    // Asks whether to save changes before they are discarded: 保存, 保存しない, キャンセル.
    virtual SaveChoice askToSave(const QString &prompt, const QString &title) = 0;
    // A question answered with はい or いいえ; true for はい.
    virtual bool askYesNo(const QString &prompt, const QString &title) = 0;
    // A modal input box; returns the typed text, or an empty text on Cancel.
    virtual QString inputBox(const QString &prompt, const QString &title) = 0;
    // Shows a standard file dialog for `dialog`'s properties; returns the chosen full
    // path, or an empty text when the user cancelled.
    virtual QString runFileDialog(const FileDialog &dialog, FileDialogMode mode) = 0;
    // Shows one of our own dialogs modally and returns its result code.
    virtual int execModal(QDialog &dialog) = 0;
    // Opens a file in the desktop's default browser without waiting for it.
    virtual bool openInBrowser(const QString &path) = 0;
    // The screen's busy pointer, for the whole application.
    virtual void setBusyPointer(bool busy) = 0;
    virtual bool isBusyPointer() const = 0;
    // Types one key into the widget that has the focus, queued behind the current event.
    virtual void sendKey(QWidget *target, int key, const QString &text) = 0;
    // The folder that holds the program and its files.
    virtual QString programFolder() const = 0;
    // Twips per device-independent pixel, horizontally and vertically.
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
};

// The platform in use; the real one unless a test installed another.
Platform &platform();
// Queues a key press and release for `target`, as typing would deliver them.
void postKeyStroke(QWidget *target, int key, const QString &text);

// Installs `p` (not owned) as the platform, nullptr for the real one; returns the one
// installed before, so that it can be put back.
Platform *setPlatform(Platform *p);
