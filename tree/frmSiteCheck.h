#pragma once
// The site check window: one row for every broken link, every page no other page links to
// and every link whose file differs only in letter case. A click on a row shows its page;
// the list can be copied as tab-separated text.

#include "platform/KForm.h"
#include "tree/SiteLinks.h"

#include <functional>

class QLabel;
class QTableWidget;
class QPushButton;

class frmSiteCheck : public KForm
{
    Q_OBJECT
public:
    // `showPage` shows a page by its index; `recheck` runs the check again.
    frmSiteCheck(QMdiArea *area, std::function<void(qint32 page)> showPage, std::function<void()> recheck);

    // Shows `rows` for the pages of `pages`.
    void setReport(const QList<linkCheck::ReportRow> &rows, const QList<basSystem::PageRecord> &pages);
    // Empties the list and says that the links are being checked.
    void showChecking();
    // The list as text: a header line, then one tab-separated line per row.
    QString reportText() const;
    void cmdCopy_Click();
    void lstRows_Click(int row);

    QTableWidget *lstRows() const { return mRows; }
    QPushButton *cmdCopy() const { return mCopy; }
    QPushButton *cmdRecheck() const { return mRecheck; }
    QLabel *lblSummary() const { return mSummary; }

protected:
    void chooseFirstPlace() override;

private:
    std::function<void(qint32)> mShowPage;
    QList<qint32> mRowPages;
    QTableWidget *mRows = nullptr;
    QPushButton *mCopy = nullptr;
    QPushButton *mRecheck = nullptr;
    QLabel *mSummary = nullptr;
};
