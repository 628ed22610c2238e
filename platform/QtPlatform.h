#pragma once
#include "platform/Platform.h"

// The desktop as Qt offers it.
class QtPlatform : public Platform
{
public:
    int messageBox(const QString &prompt, const QString &title, int style) override;
    SaveChoice askToSave(const QString &prompt, const QString &title) override;
    bool askYesNo(const QString &prompt, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title) override;
    QString runFileDialog(const FileDialog &dialog, FileDialogMode mode) override;
    int execModal(QDialog &dialog) override;
    bool openInBrowser(const QString &path) override;
    void setBusyPointer(bool busy) override;
    bool isBusyPointer() const override;
    void sendKey(QWidget *target, int key, const QString &text) override;
    QString programFolder() const override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;

    // Lets a caller (the tests of a real window, an installed layout) name the program folder.
    static void setProgramFolderOverride(const QString &folder);

private:
    int mBusyDepth = 0;
};

// Converts a Qt name filter from the "description|pattern|..." form to Qt's list form.
QStringList qtNameFilters(const QString &filter);
