#pragma once
// The site check window: one row for every broken reference, missing anchor, page no other
// page links to, reference whose file differs only in letter case, and value that is no
// address, each with its page (or style sheet), line and kind of reference. A click on a
// row shows its page at the reference; 作成, 変更 and the letter-case fix mend the chosen
// row's reference, and the file it leads to can be moved with every reference to it kept
// (the same commands stand in the row's context menu); the list can be copied as
// tab-separated text and saved as CSV or HTML.

#include "platform/FileDialog.h"
#include "platform/KForm.h"
#include "tree/SiteLinks.h"

#include <functional>

class QLabel;
class QMenu;
class QTableWidget;
class QPushButton;

class frmSiteCheck : public KForm
{
    Q_OBJECT
public:
    enum class Mend { Create, Change, FixCase };
    // What the window asks of the site: to show a row's page at its reference, to mend a
    // row's reference, to move the file at a path, and to run the check again.
    struct Actions {
        std::function<void(const linkCheck::ReportRow &)> showRow;
        std::function<void(const linkCheck::ReportRow &, Mend)> mend;
        std::function<void(const QString &)> moveFile;
        std::function<void()> recheck;
    };
    frmSiteCheck(QMdiArea *area, Actions actions);

    // Shows `rows` for the pages of `pages`, whose site is at `siteFolder`.
    void setReport(const QList<linkCheck::ReportRow> &rows, const QList<basSystem::PageRecord> &pages,
                   const QString &siteFolder);
    // Empties the list and says that the links are being checked.
    void showChecking();
    // The list as text: a header line, then one tab-separated line per row.
    QString reportText() const;
    void cmdCopy_Click();
    void lstRows_Click(int row);
    // Which mending the row allows.
    static bool canMend(const linkCheck::ReportRow &row, Mend how);
    void cmdMend_Click(Mend how);
    // The file on disk the row's reference leads to (a page nothing links to: its own
    // file); empty when there is none.
    static QString fileOf(const linkCheck::ReportRow &row);
    void cmdMoveFile_Click();
    // The chosen row's commands, as its context menu shows them.
    QMenu *rowMenu();
    // Saves the list as CSV (UTF-8 with a byte-order mark) or as an HTML page.
    void cmdSaveCsv_Click();
    void cmdSaveHtml_Click();

    QTableWidget *lstRows() const { return mRows; }
    QPushButton *cmdCopy() const { return mCopy; }
    QPushButton *cmdRecheck() const { return mRecheck; }
    QPushButton *cmdMend(Mend how) const { return mMend[int(how)]; }
    QPushButton *cmdMoveFile() const { return mMoveFile; }
    QLabel *lblSummary() const { return mSummary; }
    const QList<linkCheck::ReportRow> &rows() const { return mReport; }
    FileDialog dlgReport;

protected:
    void chooseFirstPlace() override;

private:
    void showCounts();
    void enableMending();
    QString chooseReportFile(const QString &filter, const QString &ext);
    void writeReport(const QString &path, const QByteArray &bytes);

    Actions mActions;
    QList<linkCheck::ReportRow> mReport;
    QStringList mRowFiles;   // by row: the file its reference stands in
    QString mSiteFolder;
    QTableWidget *mRows = nullptr;
    QPushButton *mCopy = nullptr;
    QPushButton *mRecheck = nullptr;
    QPushButton *mMend[3] = {};
    QPushButton *mMoveFile = nullptr;
    QPushButton *mSaveCsv = nullptr;
    QPushButton *mSaveHtml = nullptr;
    QLabel *mSummary = nullptr;
};
