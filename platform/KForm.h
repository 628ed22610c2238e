#pragma once
// A form of the program: a child window of the frame's multiple-document area. It
// keeps its outer size and place in twips, turns the window system's resize,
// activation and close notifications into Form_Resize, Form_Activate,
// Form_Deactivate and Form_QueryUnload, and carries the close reason of every close.

#include "common/WindowCover.h"
#include "platform/Twips.h"

#include <QList>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

#include <optional>

class QMdiArea;

// Why a form is being closed, as Form_QueryUnload receives it.
enum UnloadReason {
    vbFormControlMenu = 0,   // the user's close box or system menu
    vbFormCode = 1,          // program code unloads the form
    vbAppWindows = 2,        // the desktop session ends or the process is told to stop
    vbAppTaskManager = 3,
    vbFormMDIForm = 4,   // the frame is closing
};

class KForm : public QWidget
{
    Q_OBJECT
public:
    enum class Border { Sizable, SizableToolWindow };

    KForm(QMdiArea *area, Border border);
    ~KForm() override;

    // The area new forms open in; the frame sets it, tests may set their own.
    static void setDefaultArea(QMdiArea *area);
    static QMdiArea *defaultArea();

    // The form's window in the area, made on first use.
    QMdiSubWindow *subWindow();

    // Outer geometry in twips, frame included.
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int Left() const;
    int Top() const;
    void setWidth(int twips);
    void setHeight(int twips);
    void setLeft(int twips);
    void setTop(int twips);
    bool isMinimized() const;
    // True for the tool windows (the site tree and the tag palette).
    bool isToolWindow() const { return mBorder == Border::SizableToolWindow; }
    // The places of the tool windows shown in `area`, in its viewport's pixels. Tool windows
    // are few: this never walks the area's other windows.
    static QList<QRect> toolWindowPlaces(const QMdiArea *area);
    // Sets the outer size and place from pixels of the area's viewport.
    void setPlacePixels(const QRect &r);
    // The window's place and size in pixels of the area's viewport while it has a window in
    // its normal state (neither minimised nor maximised); nothing otherwise.
    std::optional<QRect> normalPlacePixels() const;

    void setCaption(const QString &caption);
    QString caption() const;
    // Shows the mark of unsaved changes before the caption in the window's title.
    void setModifiedMark(bool modified);
    bool hasModifiedMark() const { return mModifiedMark; }

    // Shows the form as a modeless child and makes it the active one.
    void Show();
    // While a ShowBatch exists, forms shown are not activated one by one (each activation
    // visits every window of the area, so showing many forms would cost the square of
    // their number); when it ends, the last form shown becomes the active one.
    class ShowBatch
    {
    public:
        // True while a ShowBatch exists.
        static bool active();
        ShowBatch();
        ~ShowBatch();
        ShowBatch(const ShowBatch &) = delete;
        ShowBatch &operator=(const ShowBatch &) = delete;

    private:
        friend class KForm;
        QList<QPointer<QMdiSubWindow>> mShown;
        ShowBatch *mOuter;
    };
    void Hide();
    // Qt's show() and hide() on a form act on its window as Show and Hide do, so that a
    // form never appears as a bare widget outside the frame.
    void setVisible(bool visible) override;
    bool Visible() const;
    // Gives the form the focus (and makes it the active child).
    void SetFocus();
    // Makes the form the active child and puts the focus on its first control that takes
    // the focus by the keyboard.
    void focusFirstControl();
    // Asks the form to close for `reason`; true when it closed (it is then discarded).
    bool Unload(int reason = vbFormCode);
    // True once the form has been unloaded; the object itself goes away with the event loop.
    bool isUnloaded() const { return mUnloaded; }

    // Applies a stored outer size and place, in this order: height, width, top, left.
    void applyStoredGeometry(qint32 height, qint32 width, qint32 top, qint32 left);
    // Records the outer size and place on a close; the visibility flag becomes 0 only
    // when the user or the program closed the window, not when the program is ending.
    void recordGeometry(int reason, qint32 &height, qint32 &width, qint32 &top, qint32 &left, qint32 &visible) const;

    // Places a child control at a position and size in twips inside the client area.
    static void placeControl(QWidget *control, const TwipRect &r);

    // How much of the form's window can be seen, as its area last found (AreaCover). A
    // window wholly covered by others rests: it keeps no title and paints nothing, because
    // Qt's activation of any window elides every other window's title and repaints its
    // frame, which would make each click pay for every covered window.
    void setSight(windowCover::Sight sight);
    windowCover::Sight sight() const { return mSight; }

protected:
    virtual void Form_Resize() { }
    virtual void Form_Activate() { }
    virtual void Form_Deactivate() { }
    virtual void Form_QueryUnload(bool &cancel, int reason);
    // Called before the form's window is made, for a form that makes its controls late;
    // not for windows shown together (ShowBatch), whose forms make them when first needed.
    virtual void ensureControls() { }
    // Called once the form's window is made, before it joins the area, when no place was
    // set: a form may choose its size and place here; otherwise the area places it.
    virtual void chooseFirstPlace() { }
    // Called when some of the form's contents come into sight (also when its area first
    // finds them so).
    virtual void contentsSeen() { }
    // Lets the form's window give its focus to the control the form names, for a form that
    // makes its controls once its window exists.
    void passFocusToProxy();
    // The area the form's window joins.
    QMdiArea *formArea() const;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeSubWindow();
    void staysOnTopWhileActivated();
    void applySize();
    void applyTitle();
    void onStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);
    bool handleClose();
    void handleResize();

    QPointer<QMdiArea> mArea;
    Border mBorder;
    QPointer<QMdiSubWindow> mSub;
    const QObject *mSubObject = nullptr;   // for identity checks while the window is being destroyed
    int mWidth = 0;
    int mHeight = 0;
    int mLeft = 0;   // the place to open at, until the window exists
    int mTop = 0;
    bool mPlaced = false;   // a place was set; otherwise the area chooses one
    int mPendingReason = vbFormControlMenu;
    bool mApplying = false;
    bool mUnloaded = false;
    QString mCaption;
    bool mModifiedMark = false;
    windowCover::Sight mSight = windowCover::Sight::Contents;
    bool mSightKnown = false;
};
