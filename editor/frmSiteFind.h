#pragma once
// The site search window: finds a pattern in every page of the open definition, in the
// editors' current texts (unsaved changes included, files never read), and lists the
// hits by page title, line number and line. A click on a hit shows that page's editor
// with the hit selected. Replacing across the site changes the editors' texts, as typing
// would, and writes no file.

#include "editor/SiteHits.h"
#include "platform/KForm.h"

#include <QHash>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class frmChild1;

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
    QTreeView *lstHits() const { return mLstHits; }
    const SiteHits &hits() const { return mHits; }
    QString statusText() const;

    // Gives the pattern box the focus, its text selected.
    void focusPattern();
    // Lists every hit of the pattern in every page.
    void cmdFind_Click();
    // Replaces every hit in every page's editor, then lists what is left.
    void cmdReplaceAll_Click();
    // Shows the page of hit `row` in its editor with the hit selected.
    void lstHits_Click(int row);

protected:
    void chooseFirstPlace() override;

private:
    void createControls();
    textSearch::Query query() const;
    bool validQuery(const textSearch::Query &query);

    QLineEdit *mTxtFind = nullptr;
    QLineEdit *mTxtReplace = nullptr;
    QCheckBox *mChkCase = nullptr;
    QCheckBox *mChkWord = nullptr;
    QCheckBox *mChkRegex = nullptr;
    QPushButton *mCmdFind = nullptr;
    QPushButton *mCmdReplaceAll = nullptr;
    QLabel *mLblStatus = nullptr;
    QTreeView *mLstHits = nullptr;
    SiteHits mHits;
    // The editors the listed hits are in, by page index at the time of the search, so that
    // a hit still reaches its editor after pages were added or removed.
    QHash<qint32, QPointer<frmChild1>> mEditors;
};
