#pragma once
// The site tree: the open definition's pages drawn as two columns of labels on either side
// of a draggable splitter (titles on the left; file names and link targets on the right),
// scrolled page by page, with a click on a title showing that page's editor. The window
// also reads and writes the definition file.

#include "platform/KForm.h"
#include "tree/TreeModel.h"

#include <QPointer>

class QPushButton;
class TreeView;
class VScrollBar;

class frmTree : public KForm
{
    Q_OBJECT
public:
    explicit frmTree(QMdiArea *area);

    // Reads the definition file at `path` into the site record and appends its pages;
    // true when the file was accepted and its page list read. Tells the user why not.
    bool gfReadKSD(const QString &path);
    // Writes the site record and the page list into the open definition's file; true
    // when written. Tells the user the outcome.
    bool gfWriteKSD();

    // Reads the page folder + fileName into a new page record and a hidden editor.
    void ScanPage(const QString &folder, const QString &fileName);
    // Rebuilds the tree's labels from page `start` on.
    void DrawTree(qint32 start);
    // Removes every drawn label (the templates stay).
    void clearTreeLabels();

    // Event handlers of the display area. X and Y are twips relative to the splitter.
    void cmdSep_MouseDown(int button, int shift, qint32 x, qint32 y);
    void cmdSep_MouseMove(int button, int shift, qint32 x, qint32 y);
    void cmdSep_MouseUp(int button, int shift, qint32 x, qint32 y);
    void scrTre_Change();
    void scrTre_Scroll();
    void lblHTML_Click(qint32 index);

    // The display area, for the window's other commands and for tests.
    const TreeModel &tree() const { return mTree; }
    TreeView *picTre() const { return mPicTre; }
    VScrollBar *scrTre() const { return mScrTre; }
    QPushButton *cmdSep() const { return mCmdSep; }
    const TwipRect &picTreRect() const { return mPicTreRect; }
    const TwipRect &scrTreRect() const { return mScrTreRect; }
    const TwipRect &cmdSepRect() const { return mCmdSepRect; }

protected:
    void Form_Resize() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool &cancel, int reason) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createDisplayArea();
    void Form_Load();
    void placeDisplayArea();
    void moveSplitter(qint32 left);

    TreeModel mTree;
    TreeView *mPicTre = nullptr;
    VScrollBar *mScrTre = nullptr;
    QPushButton *mCmdSep = nullptr;
    // Designed geometry for the outer size 3210 x 8430; the top 420 twips hold the buttons.
    TwipRect mPicTreRect{0, 420, 2775, 7575};
    TwipRect mScrTreRect{2790, 420, 255, 7605};
    TwipRect mCmdSepRect{780, -30, 75, 7575};

    bool mbNoResize = false;
    qint32 mlPrevWidth = 0;
    qint32 mlPrevHeight = 0;
    bool mbSepDrag = false;
    qint32 mlSepStartLeft = 0;
};
