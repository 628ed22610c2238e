#pragma once
// A page editor: one page's whole text in a multi-line text box, with save, save as,
// preview and close.

#include "platform/KForm.h"

class QPlainTextEdit;

class frmChild1 : public KForm
{
    Q_OBJECT
public:
    explicit frmChild1(QMdiArea *area = KForm::defaultArea());

    qint32 plId = 0;   // index of the page in gPageTable and of this editor in gPageEditors

    // The text box's whole text, lines joined by CR LF.
    QString text() const;
    void setText(const QString &text);
    QPlainTextEdit *txtEdit() const { return mTxtEdit; }

protected:
    void Form_Activate() override;
    void Form_QueryUnload(bool &cancel, int reason) override;

private:
    void Form_Load();

    QPlainTextEdit *mTxtEdit = nullptr;
    bool mbNoResize = false;
    qint32 mlPrevWidth = 0;
    qint32 mlPrevHeight = 0;
};
