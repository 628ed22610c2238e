#include "site/frmProp.h"
#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "platform/KForm.h"
#include "site/SiteCommands.h"
#include "site/SiteFile.h"
#include "site/SiteTexts.h"
#include "platform/Fonts.h"
#include "platform/Messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace basSystem;
using namespace siteCommands;

namespace {

// "News Gothic MT" at 9 points, bold, or a plain sans-serif face of the desktop.
QFont folderButtonFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("News Gothic MT"), QStringLiteral("News Gothic"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    font.setWeight(QFont::Bold);
    return font;
}

QLabel *newLabel(QWidget *parent)
{
    return new QLabel(parent);
}
}   // namespace

frmProp::frmProp(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint),
      mLblLabel(newLabel(this), newLabel)
{
    setWindowTitle(siteTexts::propCaption);
    setFont(msGothicFont());
    setFixedSize(toPixels(clientArea).size());
    createControls();
    Form_Load();
}

void frmProp::createControls()
{
    createLabels();
    mTxtName = addTextBox(txtNameRect, siteTexts::tipName);
    mTxtPath = addTextBox(txtPathRect, siteTexts::tipPath);
    mTxtURL = addTextBox(txtURLRect, siteTexts::tipURL);
    mCmdSetPrp = addButton(siteTexts::propApply, cmdSetPrpRect, siteTexts::tipApply);
    mCmdCanPrp = addButton(siteTexts::propCancel, cmdCanPrpRect, siteTexts::tipCancel);
    mCmdPath = addButton(QStringLiteral("..."), cmdPathRect, siteTexts::tipApply);
    mCmdPath->setFont(folderButtonFont());
    // Enter presses OK wherever the focus is; Esc ends in reject(), as Cancel does.
    mCmdSetPrp->setDefault(true);
    connect(mCmdSetPrp, &QPushButton::clicked, this, &frmProp::cmdSetPrp_Click);
    connect(mCmdCanPrp, &QPushButton::clicked, this, &frmProp::cmdCanPrp_Click);
    connect(mCmdPath, &QPushButton::clicked, this, &frmProp::cmdPath_Click);

    // The designed tab order: the three boxes, OK, Cancel, the folder button.
    setTabOrder(mTxtName, mTxtPath);
    setTabOrder(mTxtPath, mTxtURL);
    setTabOrder(mTxtURL, mCmdSetPrp);
    setTabOrder(mCmdSetPrp, mCmdCanPrp);
    setTabOrder(mCmdCanPrp, mCmdPath);
    mTxtName->setFocus();
}

void frmProp::createLabels()
{
    for (int i = 0; i < 3; ++i) {
        QLabel *label = i == 0 ? mLblLabel.at(0) : mLblLabel.load(i);
        label->setText(siteTexts::propLabels[i]);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        KForm::placeControl(label, lblLabelRect[i]);
        label->show();
    }
}

QLineEdit *frmProp::addTextBox(const TwipRect &place, const QString &tip)
{
    auto *box = new QLineEdit(this);
    box->setToolTip(tip);
    KForm::placeControl(box, place);
    return box;
}

QPushButton *frmProp::addButton(const QString &text, const TwipRect &place, const QString &tip)
{
    auto *button = new QPushButton(text, this);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    KForm::placeControl(button, place);
    return button;
}

void frmProp::Form_Load()
{
    pbOkFlg = false;
    const SiteProperties shown = propertiesToEdit(gSite, gCurDir);
    mTxtName->setText(shown.Name);
    mTxtPath->setText(shown.Folder);
    mTxtURL->setText(shown.URL);
}

void frmProp::cmdSetPrp_Click()
{
    if (!acceptsSiteName(mTxtName->text())) {
        ShowMessage(siteTexts::propNoName);
        return;
    }
    for (const QLineEdit *box : {mTxtName, mTxtPath, mTxtURL}) {
        if (!ksd::infoCarries(box->text())) {
            ShowMessage(siteTexts::propLineBreak);
            return;
        }
    }
    applyProperties(gSite, SiteProperties{mTxtName->text(), mTxtPath->text(), mTxtURL->text()});
    pbOkFlg = true;
    accept();
}

void frmProp::cmdCanPrp_Click()
{
    reject();
}

void frmProp::reject()
{
    pbOkFlg = false;
    QDialog::reject();
}

void frmProp::cmdPath_Click()
{
    dlgPath.DialogTitle = siteTexts::pathTitle;
    dlgPath.Filter = siteTexts::pathFilter;
    dlgPath.InitDir = mTxtPath->text();
    if (!dlgPath.ShowOpen() || dlgPath.FileName.isEmpty())
        return;
    mTxtPath->setText(dlgPath.folder());
}
