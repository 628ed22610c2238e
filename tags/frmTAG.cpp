#include "tags/frmTAG.h"
#include "app/basSystem.h"

using namespace basSystem;

frmTAG::frmTAG(QMdiArea *area) : KForm(area, Border::SizableToolWindow)
{
    setCaption(QStringLiteral("タグリスト"));
    Form_Load();
}

void frmTAG::Form_Load()
{
    mbNoResize = true;
    setHeight(8175);
    setWidth(2820);
    mlPrevHeight = 8175;
    mlPrevWidth = 2820;
    mbNoResize = false;
    applyStoredGeometry(gTagWinHeight, gTagWinWidth, gTagWinTop, gTagWinLeft);
}

void frmTAG::Form_Activate()
{
    gTagWinVisible = -1;
}

void frmTAG::Form_QueryUnload(bool &, int reason)
{
    recordGeometry(reason, gTagWinHeight, gTagWinWidth, gTagWinTop, gTagWinLeft, gTagWinVisible);
}
