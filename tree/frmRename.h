#pragma once
// The rename dialog: the new folder and name of a file of the site, and before anything is
// done the list of every change the move will make (RenameChanges). The list is worked out
// off the window's thread, on a snapshot of the pages taken when the dialog opened, anew
// for every new place typed; 変更 is offered once the list for the place shown is in.

#include "platform/FileDialog.h"
#include "tree/RenameChanges.h"

#include <QDialog>
#include <QFutureWatcher>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

class frmRename : public QDialog
{
    Q_OBJECT
public:
    // What the dialog works on: the file to move, the pages as they stand, the site's folder,
    // the pages' names for the list, and whether the file is a page of the definition (its
    // new name must then go into the definition).
    struct Subject {
        QString path;
        QList<renamePlan::PageText> pages;
        QString siteFolder;
        QHash<qint32, QString> pageNames;
        bool isPage = false;
    };
    frmRename(QWidget *parent, Subject subject);
    ~frmRename() override;

    // True when the dialog was closed with 変更.
    bool pbOkFlg = false;
    // The plan for the place shown, once it is worked out; nothing while it is being worked
    // out or when the place cannot be used.
    const std::optional<renamePlan::Plan> &plan() const { return mPlan; }
    bool isPlanning() const;

    QLineEdit *txtFolder() const { return mTxtFolder; }
    QLineEdit *txtName() const { return mTxtName; }
    QPushButton *cmdBrowse() const { return mCmdBrowse; }
    QPushButton *cmdApply() const { return mCmdApply; }
    QPushButton *cmdCancel() const { return mCmdCancel; }
    QTableView *lstChanges() const { return mLstChanges; }
    QLabel *lblStatus() const { return mLblStatus; }
    const RenameChanges &changes() const { return mChanges; }

    // Picks the new place in a save dialog; it keeps the place chosen last.
    FileDialog dlgMove;
    void cmdBrowse_Click();
    void cmdApply_Click();

signals:
    // The list for the place shown is in (or the place cannot be used).
    void planShown();

private:
    void createControls();
    QString target() const;
    QString placeProblem() const;
    void startPlanning();
    void takePlan();
    void showStatus(const QString &text);

    Subject mSubject;
    std::optional<renamePlan::Plan> mPlan;
    QFutureWatcher<std::optional<renamePlan::Plan>> mWatcher;
    RenameChanges mChanges;
    QLineEdit *mTxtFolder = nullptr;
    QLineEdit *mTxtName = nullptr;
    QPushButton *mCmdBrowse = nullptr;
    QPushButton *mCmdApply = nullptr;
    QPushButton *mCmdCancel = nullptr;
    QTableView *mLstChanges = nullptr;
    QLabel *mLblStatus = nullptr;
};
