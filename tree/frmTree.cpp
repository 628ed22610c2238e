#include "tree/frmTree.h"
#include "app/basSystem.h"

using namespace basSystem;

frmTree::frmTree(QMdiArea *area) : KForm(area, Border::SizableToolWindow)
{
    setCaption(QStringLiteral("新規作成"));
    Form_Load();
}

void frmTree::Form_Load()
{
    mbNoResize = true;
    setHeight(8430);
    setWidth(3210);
    mbNoResize = false;
    mlPrevHeight = 8430;
    mlPrevWidth = 3210;
    applyStoredGeometry(gTreeWinHeight, gTreeWinWidth, gTreeWinTop, gTreeWinLeft);
}

void frmTree::Form_Activate()
{
    gTreeWinVisible = -1;
}

void frmTree::Form_QueryUnload(bool &, int reason)
{
    recordGeometry(reason, gTreeWinHeight, gTreeWinWidth, gTreeWinTop, gTreeWinLeft, gTreeWinVisible);
}
