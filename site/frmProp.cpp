#include "site/frmProp.h"
#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "platform/KForm.h"
#include "site/SiteCommands.h"
#include "site/SiteFile.h"
#include "platform/Fonts.h"
#include "platform/Messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace basSystem;
using namespace siteCommands;

namespace {
const QString caption = QStringLiteral("定義ファイルの設定");
const QString msgNoName = QStringLiteral("サイトの名前を付けてください。いつでも変更できます。");
const QString msgLineBreak = QStringLiteral("名前・フォルダ・ＵＲＬの改行は定義ファイルに書けないため使えません。");
const QString labelTexts[3] = {QStringLiteral("名前"), QStringLiteral("フォルダ"), QStringLiteral("ＵＲＬ")};
const QString tipName = QStringLiteral("サイトの名前です。HTMLには反映されません。");
const QString tipPath = QStringLiteral("ファイルを開く際の初期フォルダです。作業中の親フォルダを指定すると便利です。");
const QString tipURL = QStringLiteral("インターネットサーバ上に割り当てられた場所です。現在、使用しません。");
const QString tipApply = QStringLiteral("画面の内容を有効にします。まだ「.ksd」への保存はしません。");
const QString tipCancel = QStringLiteral("入力内容を反映せずに、画面を閉じます。");
const QString pathTitle = QStringLiteral("フォルダ指定　：　対象フォルダ内の、任意のファイルを選んで下さい。");
const QString pathFilter = QStringLiteral("フォルダのみ取得します。任意のファイルを選んで下さい。(*.*)|*.*");

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
    setWindowTitle(caption);
    setFont(msGothicFont());
    setFixedSize(toPixels(clientArea).size());
    createControls();
    Form_Load();
}

void frmProp::createControls()
{
    createLabels();
    mTxtName = addTextBox(txtNameRect, tipName);
    mTxtPath = addTextBox(txtPathRect, tipPath);
    mTxtURL = addTextBox(txtURLRect, tipURL);
    mCmdSetPrp = addButton(QStringLiteral("設定"), cmdSetPrpRect, tipApply);
    mCmdCanPrp = addButton(QStringLiteral("キャンセル"), cmdCanPrpRect, tipCancel);
    mCmdPath = addButton(QStringLiteral("..."), cmdPathRect, tipApply);
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
        label->setText(labelTexts[i]);
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
        ShowMessage(msgNoName);
        return;
    }
    for (const QLineEdit *box : {mTxtName, mTxtPath, mTxtURL}) {
        if (!ksd::infoCarries(box->text())) {
            ShowMessage(msgLineBreak);
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
    dlgPath.DialogTitle = pathTitle;
    dlgPath.Filter = pathFilter;
    dlgPath.InitDir = mTxtPath->text();
    if (!dlgPath.ShowOpen() || dlgPath.FileName.isEmpty())
        return;
    mTxtPath->setText(dlgPath.folder());
}
