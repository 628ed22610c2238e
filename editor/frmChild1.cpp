#include "editor/frmChild1.h"
#include "app/basSystem.h"

#include <QPlainTextEdit>

frmChild1::frmChild1(QMdiArea *area) : KForm(area, Border::Sizable)
{
    mTxtEdit = new QPlainTextEdit(this);
    setCaption(QStringLiteral("Form1"));
    setText(QStringLiteral("読み込み失敗\r\n"));
    Form_Load();
}

void frmChild1::Form_Load()
{
    mbNoResize = true;
    setWidth(3180);
    setHeight(1845);
    mlPrevWidth = Width();
    mlPrevHeight = Height();
    mbNoResize = false;
}

QString frmChild1::text() const
{
    QString t = mTxtEdit->toPlainText();
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return t;
}

void frmChild1::setText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    mTxtEdit->setPlainText(t);
}

void frmChild1::Form_Activate()
{
    basSystem::gActiveEditor = this;
    mbNoResize = false;
}

void frmChild1::Form_QueryUnload(bool &cancel, int reason)
{
    if (reason == vbFormControlMenu) {
        Hide();
        cancel = true;
    }
}
