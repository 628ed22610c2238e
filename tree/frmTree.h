#pragma once
// The site tree: the definition's commands and the two-column picture of its pages.

#include "platform/KForm.h"

class frmTree : public KForm
{
    Q_OBJECT
public:
    explicit frmTree(QMdiArea *area);

protected:
    void Form_Activate() override;
    void Form_QueryUnload(bool &cancel, int reason) override;

private:
    void Form_Load();

    bool mbNoResize = false;
    qint32 mlPrevWidth = 0;
    qint32 mlPrevHeight = 0;
};
