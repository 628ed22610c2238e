#pragma once
#include "platform/Platform.h"

#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPointer>

// The desktop as Qt offers it.
class QtPlatform : public Platform
{
public:
    void cancelModalRequests() override;
    void openInBrowser(const QString &path, std::function<void(const QString &reason)> failed) override;
    void openAddressInBrowser(const QString &address, std::function<void(const QString &reason)> failed) override;
    void setBusyPointer(bool busy) override;
    bool isBusyPointer() const override;
    void sendKey(QWidget *target, int key, const QString &text) override;
    QString programFolder() const override;
    QString defaultsFolder() const override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;

    // Names the folder where the program keeps its files instead of its own (the chosen
    // settings folder, or the folder of a test), and where a first start copies them from.
    static void setProgramFolderOverride(const QString &folder, const QString &defaults = QString());
    // The folder of the running program's executable, known before the application object
    // exists.
    static QString executableFolder();

protected:
    int showMessageBox(const QString &prompt, const QString &title, int style) override;
    SaveChoice showSaveQuestion(const QString &prompt, const QString &title) override;
    YesNoChoice showYesNoQuestion(const QString &prompt, const QString &title) override;
    QString showInputBox(const QString &prompt, const QString &title) override;
    QString showFileDialog(const FileDialog &dialog, FileDialogMode mode) override;
    int showModal(QDialog &dialog) override;

private:
    // Runs `dialog` modally, listed among the open requests while it runs.
    int exec(QDialog &dialog);
    // A question answered with はい or いいえ, or closed without an answer; `yesDefault` makes
    // はい the default button.
    YesNoChoice askYesNoBox(QMessageBox::Icon icon, const QString &prompt, const QString &title, bool yesDefault);

    int mBusyDepth = 0;
    QList<QPointer<QDialog>> mOpen;   // the open modal requests, innermost last
};

// Converts a Qt name filter from the "description|pattern|..." form to Qt's list form.
QStringList qtNameFilters(const QString &filter);
