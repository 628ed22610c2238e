#pragma once
// The site properties dialog: the open definition's name, working folder and address.
// It opens with the current values (the working folder for a site without a folder,
// "http://" for a site without an address); OK stores the three boxes into the site
// record, Cancel, Esc and the close box leave everything as it was. The definition file
// itself is written only by the site tree's save commands.

#include "platform/ControlArray.h"
#include "platform/FileDialog.h"
#include "platform/Twips.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmProp : public QDialog
{
    Q_OBJECT
public:
    explicit frmProp(QWidget *parent = nullptr);

    // True when the dialog was closed with OK; false after Cancel, Esc or the close box.
    bool pbOkFlg = false;

    // The designed client area and control places, in twips.
    static constexpr TwipRect clientArea{0, 0, 4320, 1455};
    static constexpr TwipRect lblLabelRect[3] = {{30, 120, 885, 225}, {30, 450, 885, 225}, {30, 780, 885, 225}};
    static constexpr TwipRect txtNameRect{960, 60, 3045, 285};
    static constexpr TwipRect txtPathRect{960, 390, 3045, 285};
    static constexpr TwipRect cmdPathRect{4020, 420, 285, 255};
    static constexpr TwipRect txtURLRect{960, 720, 3045, 285};
    static constexpr TwipRect cmdSetPrpRect{1590, 1050, 1185, 375};
    static constexpr TwipRect cmdCanPrpRect{2820, 1050, 1185, 375};

    QLineEdit *txtName() const { return mTxtName; }
    QLineEdit *txtPath() const { return mTxtPath; }
    QLineEdit *txtURL() const { return mTxtURL; }
    QPushButton *cmdPath() const { return mCmdPath; }
    QPushButton *cmdSetPrp() const { return mCmdSetPrp; }
    QPushButton *cmdCanPrp() const { return mCmdCanPrp; }
    const ControlArray<QLabel> &lblLabel() const { return mLblLabel; }

    // The folder pick; it keeps the file chosen last while the dialog is open.
    FileDialog dlgPath;

    void cmdSetPrp_Click();
    void cmdCanPrp_Click();
    void cmdPath_Click();

    // Esc and the close box end here: the effect of Cancel.
    void reject() override;

private:
    void createControls();
    void createLabels();
    QLineEdit *addTextBox(const TwipRect &place, const QString &tip);
    QPushButton *addButton(const QString &text, const TwipRect &place, const QString &tip);
    void Form_Load();

    ControlArray<QLabel> mLblLabel;
    QLineEdit *mTxtName = nullptr;
    QLineEdit *mTxtPath = nullptr;
    QLineEdit *mTxtURL = nullptr;
    QPushButton *mCmdPath = nullptr;
    QPushButton *mCmdSetPrp = nullptr;
    QPushButton *mCmdCanPrp = nullptr;
};
