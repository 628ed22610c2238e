#pragma once
// The tag palette: one button per tag of the tag database, in one column inside a
// picture box; a click types the tag into the editor that was active last. The window
// stretches its button area with its size and records its geometry and open state
// when it closes.

#include "platform/ControlArray.h"
#include "platform/KForm.h"

class QPushButton;
class QScrollBar;

class frmTAG : public KForm
{
    Q_OBJECT
public:
    explicit frmTAG(QMdiArea *area = KForm::defaultArea());

    // The designed outer size and the lowest outer height the window allows.
    static constexpr int designedWidth = 2820;
    static constexpr int designedHeight = 8175;
    static constexpr int minimumHeight = 1000;

    // Where tag button `index` (from 1) stands inside the picture box; buttons never move.
    static TwipRect buttonRect(int index);

    QWidget *picTag() const { return mPicTag; }
    QScrollBar *scrTag() const { return mScrTag; }
    const ControlArray<QPushButton> &cmdBase() const { return mCmdBase; }
    // The controls' current places in twips.
    TwipRect picTagRect() const { return mPicTagRect; }
    TwipRect scrTagRect() const { return mScrTagRect; }

protected:
    void Form_Resize() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool &cancel, int reason) override;

private:
    void createControls();
    void Form_Load();
    void LoadTagDatabase();
    void AddTagButton(int index);
    void cmdBase_Click(int index);
    void scrTag_Change();
    void placePicTag(const TwipRect &r);
    void placeScrTag(const TwipRect &r);

    QWidget *mPicTag = nullptr;
    QScrollBar *mScrTag = nullptr;
    ControlArray<QPushButton> mCmdBase;
    TwipRect mPicTagRect;
    TwipRect mScrTagRect;

    bool mbNoResize = false;
    qint32 mlPrevWidth = 0;
    qint32 mlPrevHeight = 0;
};
