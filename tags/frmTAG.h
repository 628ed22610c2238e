#pragma once
// The tag palette: one button per line of the tag database.

#include "platform/KForm.h"

class frmTAG : public KForm
{
    Q_OBJECT
public:
    explicit frmTAG(QMdiArea *area);

protected:
    void Form_Activate() override;
    void Form_QueryUnload(bool &cancel, int reason) override;

private:
    void Form_Load();

    bool mbNoResize = false;
    qint32 mlPrevWidth = 0;
    qint32 mlPrevHeight = 0;
};
