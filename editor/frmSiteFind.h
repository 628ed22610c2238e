#pragma once
// The site search window: finds a pattern in every page of the open definition, in the
// editors' current texts (unsaved changes included, files never read), and lists the
// hits by page title, line number and line as they are found; the search runs on a
// thread of its own and Esc stops it. A click on a hit shows that page's editor with the
// hit selected. Replacing across the site changes the editors' texts, as typing would,
// and writes no file.

#include "editor/SiteHits.h"
#include "editor/SiteSearchSession.h"
#include "platform/KForm.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

class frmSiteFind : public KForm
{
    Q_OBJECT
public:
    explicit frmSiteFind(QMdiArea *area = KForm::defaultArea());

    QLineEdit *txtFind() const { return mTxtFind; }
    QLineEdit *txtReplace() const { return mTxtReplace; }
    QCheckBox *chkCase() const { return mChkCase; }
    QCheckBox *chkWord() const { return mChkWord; }
    QCheckBox *chkRegex() const { return mChkRegex; }
    QTableView *lstHits() const { return mLstHits; }
    const SiteHits &hits() const { return mHits; }
    QString statusText() const;
    // True while a search or a replacement runs.
    bool isSearching() const;

    // Gives the pattern box the focus, its text selected.
    void focusPattern();
    // Lists every hit of the pattern in every page, as the search finds them.
    void cmdFind_Click();
    // Replaces every hit in every page's editor, each page as one edit, once every page has
    // been searched and allows it (a failure anywhere replaces nothing); then lists what is
    // left.
    void cmdReplaceAll_Click();
    // Stops the search (Esc); a replacement not yet begun replaces nothing.
    void cancelSearch();
    // Shows the page of hit `row` in its editor with the hit selected.
    void lstHits_Click(int row);

protected:
    void chooseFirstPlace() override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    textSearch::Query query() const;
    bool validQuery(const textSearch::Query &query);
    void startSession(std::optional<QString> replacement);
    void showProgress();
    void sessionFinished(const SiteSearchSession::Outcome &outcome);
    void replacementFinished(const SiteSearchSession::Outcome &outcome);
    QString stopText(const SearchStop &stop) const;

    QLineEdit *mTxtFind = nullptr;
    QLineEdit *mTxtReplace = nullptr;
    QCheckBox *mChkCase = nullptr;
    QCheckBox *mChkWord = nullptr;
    QCheckBox *mChkRegex = nullptr;
    QPushButton *mCmdFind = nullptr;
    QPushButton *mCmdReplaceAll = nullptr;
    QLabel *mLblStatus = nullptr;
    QTableView *mLstHits = nullptr;
    SiteHits mHits;
    // The search whose hits are listed; it keeps them pointing at their pages' texts.
    SiteSearchSession *mSession = nullptr;
    QString mReplacedText;   // what the last replacement did, shown once what is left is listed
};
