#include "platform/KForm.h"
#include "common/FormLayout.h"
#include "common/TextHelpers.h"
#include "platform/AreaCover.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QMenu>

namespace {
QPointer<QMdiArea> gDefaultArea;
KForm::ShowBatch *gShowBatch = nullptr;
// Every tool window made and not yet destroyed.
QList<QPointer<KForm>> gToolForms;

// Forms that were never shown wait on a hidden widget of the area (its shelf) instead of
// among the area's own children: whatever repaints, raises or resizes a window inside the
// area walks the area's children and looks at every one stacked above the area's viewport,
// so that thousands of hidden editors there would make every click pay for them.
QWidget *shelfOf(QMdiArea *area)
{
    if (!area)
        return nullptr;
    static const QString shelfName = QStringLiteral("kformShelf");
    auto *shelf = area->findChild<QWidget *>(shelfName, Qt::FindDirectChildrenOnly);
    if (!shelf) {
        shelf = new QWidget(area);
        shelf->setObjectName(shelfName);
        shelf->hide();
    }
    return shelf;
}

// Each window of an area hears of every change of focus in the program, to activate
// itself when the focus enters it: with a thousand windows shown, every click and every
// change of editor made a thousand calls. The windows' own listeners are taken off and
// one listener tells the windows the focus entered, and only them.
class FocusRouter : public QObject
{
public:
    static void take(QMdiSubWindow *sub)
    {
        static QPointer<FocusRouter> router;
        if (!router)
            router = new FocusRouter(qApp);
        if (QObject::disconnect(qApp, SIGNAL(focusChanged(QWidget *, QWidget *)), sub,
                                SLOT(_q_processFocusChanged(QWidget *, QWidget *))))
            sub->setProperty(routedKey, true);
    }

private:
    static constexpr const char *routedKey = "kformFocusRouted";

    explicit FocusRouter(QObject *parent) : QObject(parent)
    {
        connect(qApp, &QApplication::focusChanged, this, &FocusRouter::route);
    }

    static void route(QWidget *old, QWidget *now)
    {
        QList<QPointer<QMdiSubWindow>> entered;
        for (QWidget *w = now; w; w = w->parentWidget())
            if (auto *sub = qobject_cast<QMdiSubWindow *>(w); sub && sub->property(routedKey).toBool())
                entered << sub;
        for (const QPointer<QMdiSubWindow> &sub : std::as_const(entered))
            if (sub)
                QMetaObject::invokeMethod(sub, "_q_processFocusChanged", Qt::DirectConnection, Q_ARG(QWidget *, old),
                                          Q_ARG(QWidget *, now));
    }
};

// When the area activates a window, it marks the frame of every other window of it to be
// repainted, whether its look changes or not: with a thousand editors cascaded, the
// pieces of some hundred and sixty frames that show beneath the others were painted again
// at every switch, and sent to the screen piece by piece. Only the window deactivated and
// the one activated change their look, so while the area activates a window, the other
// windows' frames take no repaint (the forms inside them repaint as they would); the hold
// ends as soon as the area is done. A maximised or minimised window makes the area
// rearrange windows then, so with one of those nothing is held.
class FrameHold
{
public:
    static void begin(QMdiArea *area, QMdiSubWindow *activating)
    {
        end();
        const QMdiSubWindow *previous = area->activeSubWindow();
        for (QObject *child : area->viewport()->children()) {
            auto *sub = qobject_cast<QMdiSubWindow *>(child);
            if (!sub || sub == activating || sub == previous || sub->isHidden())
                continue;
            if (sub->isMaximized() || sub->isMinimized()) {
                end();
                return;
            }
            if (!sub->updatesEnabled())
                continue;   // covered wholly: it takes no repaint anyway
            // The flag setUpdatesEnabled() sets, set on the window alone: the forms inside
            // repaint as they would, and clearing it repaints nothing, where turning
            // updates on again would repaint the whole window.
            sub->setAttribute(Qt::WA_UpdatesDisabled, true);
            held() << sub;
        }
        // Should the activation stop short of its end, the hold ends with it.
        if (!held().isEmpty()) {
            activatingWindow() = activating;
            QMetaObject::invokeMethod(qApp, &FrameHold::end, Qt::QueuedConnection);
        }
    }

    // The area is done once the window it activates has changed its state (the windows it
    // deactivates meanwhile change theirs too).
    static void activated(const QMdiSubWindow *sub)
    {
        if (sub == activatingWindow())
            end();
    }

    static void end()
    {
        activatingWindow() = nullptr;
        for (const QPointer<QMdiSubWindow> &sub : std::exchange(held(), {}))
            if (sub)
                sub->setAttribute(Qt::WA_UpdatesDisabled, false);
    }

private:
    static QList<QPointer<QMdiSubWindow>> &held()
    {
        static QList<QPointer<QMdiSubWindow>> windows;
        return windows;
    }
    static QPointer<QMdiSubWindow> &activatingWindow()
    {
        static QPointer<QMdiSubWindow> window;
        return window;
    }
};
}   // namespace

bool KForm::ShowBatch::active()
{
    return gShowBatch != nullptr;
}

KForm::ShowBatch::ShowBatch() : mOuter(gShowBatch)
{
    gShowBatch = this;
}

KForm::ShowBatch::~ShowBatch()
{
    gShowBatch = mOuter;
    QPointer<QMdiSubWindow> last;
    for (const QPointer<QMdiSubWindow> &sub : std::as_const(mShown)) {
        if (!sub)
            continue;
        sub->setEnabled(true);
        if (!sub->isHidden())
            last = sub;
    }
    if (last && last->mdiArea())
        last->mdiArea()->setActiveSubWindow(last);
}

void KForm::setDefaultArea(QMdiArea *area)
{
    gDefaultArea = area;
}

QMdiArea *KForm::defaultArea()
{
    return gDefaultArea;
}

KForm::KForm(QMdiArea *area, Border border) : mArea(area), mBorder(border)
{
    // Until it is first shown a form is a hidden widget on the area's shelf; its window frame
    // is made on first use, so that a thousand hidden editors cost no window each.
    setParent(shelfOf(area));
    QWidget::setVisible(false);
    if (isToolWindow()) {
        gToolForms.removeAll(nullptr);
        gToolForms << this;
    }
}

QList<QRect> KForm::toolWindowPlaces(const QMdiArea *area)
{
    QList<QRect> places;
    for (const QPointer<KForm> &form : std::as_const(gToolForms))
        if (form && form->mSub && !form->mSub->isHidden() && form->mSub->mdiArea() == area)
            places << form->mSub->geometry();
    return places;
}

std::optional<QRect> KForm::normalPlacePixels() const
{
    if (!mSub || mSub->isMinimized() || mSub->isMaximized())
        return std::nullopt;
    return mSub->geometry();
}

void KForm::setPlacePixels(const QRect &r)
{
    setWidth(pixelsToTwipsX(r.width()));
    setHeight(pixelsToTwipsY(r.height()));
    setLeft(pixelsToTwipsX(r.x()));
    setTop(pixelsToTwipsY(r.y()));
}

KForm::~KForm() = default;

QMdiSubWindow *KForm::subWindow()
{
    if (mSub || mUnloaded)
        return mSub;
    makeSubWindow();
    applyTitle();
    return mSub;
}

// The window is made without its title, which is set once the window stands where it
// belongs: the window elides its title whenever it is resized, moved or shown, and eliding
// a Japanese title costs a text shaping each time.
void KForm::makeSubWindow()
{
    // Windows shown together may make their controls later, when the program is idle.
    if (!gShowBatch)
        ensureControls();
    Qt::WindowFlags flags = Qt::SubWindow;
    if (mBorder == Border::SizableToolWindow)
        flags |= Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint;
    // The area raises a window it takes in above all others, comparing each of its windows
    // with all of them unless the new one stays on top: the window stays on top only while
    // it joins.
    mSub = new QMdiSubWindow(nullptr, flags | Qt::WindowStaysOnTopHint);
    mSubObject = mSub;
    FocusRouter::take(mSub);
    connect(mSub, &QMdiSubWindow::windowStateChanged, this, &KForm::onStateChanged);
    // The window joins the area before it takes the form, so that the form moves within the
    // frame: moving it out into a window of its own would walk the frame's whole focus
    // chain, which holds every hidden form. It stays hidden until shown.
    mSub->hide();
    if (!mPlaced)
        chooseFirstPlace();
    // A window the form places itself joins the area at no size: the area looks for the
    // place least covered by the shown windows only for a window with a size, comparing
    // each candidate place with every shown window.
    if (mPlaced)
        mSub->resize(0, 0);
    staysOnTopWhileActivated();
    if (mArea) {
        mArea->addSubWindow(mSub);
        AreaCover::watch(mArea);
    }
    mSub->setWindowFlags(flags);
    // Connected after the area's own handling of the same signal, so that it runs after it.
    connect(mSub, &QMdiSubWindow::windowStateChanged, this, [this] {
        mSub->overrideWindowFlags(mSub->windowFlags() & ~Qt::WindowStaysOnTopHint);
        FrameHold::activated(mSub);
    });
    // The form was hidden while it had no window; inside its window it is shown, so that
    // the window shows its controls whenever the window itself is shown. It is shown before
    // the window takes it as its widget: the window activates itself when its widget is
    // shown, which would activate a window that is still being made.
    setParent(mSub);
    QWidget::setVisible(true);
    mSub->setWidget(this);
    mSub->setAttribute(Qt::WA_DeleteOnClose);
    // The frame's menus own the program's keys; the window menu's own close key (Ctrl+W
    // on most desktops) would make them ambiguous.
    if (QMenu *menu = mSub->systemMenu())
        for (QAction *action : menu->actions())
            action->setShortcuts({});
    passFocusToProxy();
    mSub->hide();
    applySize();
    // A form whose place was never set is placed by the area, as a new window should be.
    if (mPlaced)
        mSub->move(twipsToPixelsX(mLeft), twipsToPixelsY(mTop));
    mSub->installEventFilter(this);
}

// The area raises a window it activates, and the one it deactivates, comparing each of its
// windows with all of them, unless the raised window stays on top (a thousand shown
// editors would make every click pay a million comparisons). So a window stays on top
// from the moment it is about to be activated until the area has raised it, and so does
// the window it takes the place of, each until its own change of state has been handled
// (see makeSubWindow); then the flag is taken off again. No window of the program stays on
// top otherwise, so each is raised just as far. The flag is only noted on the window, not
// told to the window system: the window is no window of its own there, and its other flags
// stay as the area made them. Connected before the window joins the area, so that it runs
// before the area's own handling.
void KForm::staysOnTopWhileActivated()
{
    connect(mSub, &QMdiSubWindow::aboutToActivate, this, [this] {
        if (mArea)
            FrameHold::begin(mArea, mSub);
        mSub->overrideWindowFlags(mSub->windowFlags() | Qt::WindowStaysOnTopHint);
        QMdiSubWindow *previous = mArea ? mArea->activeSubWindow() : nullptr;
        if (previous && previous != mSub && !previous->isMinimized())
            previous->overrideWindowFlags(previous->windowFlags() | Qt::WindowStaysOnTopHint);
    });
}

void KForm::passFocusToProxy()
{
    // A form that names a control to take its focus gets it whenever its window is focused.
    if (mSub && focusProxy())
        mSub->setFocusProxy(this);
}

QMdiArea *KForm::formArea() const
{
    return mArea;
}

int KForm::Left() const
{
    // The exact twips last set, as long as the window still stands where they put it.
    if (!mSub || mSub->x() == twipsToPixelsX(mLeft))
        return mLeft;
    return pixelsToTwipsX(mSub->x());
}

int KForm::Top() const
{
    if (!mSub || mSub->y() == twipsToPixelsY(mTop))
        return mTop;
    return pixelsToTwipsY(mSub->y());
}

void KForm::setWidth(int twips)
{
    mWidth = twips;
    applySize();
    Form_Resize();
}

void KForm::setHeight(int twips)
{
    mHeight = twips;
    applySize();
    Form_Resize();
}

void KForm::setLeft(int twips)
{
    mLeft = twips;
    mPlaced = true;
    if (mSub)
        mSub->move(twipsToPixelsX(twips), mSub->y());
}

void KForm::setTop(int twips)
{
    mTop = twips;
    mPlaced = true;
    if (mSub)
        mSub->move(mSub->x(), twipsToPixelsY(twips));
}

bool KForm::isMinimized() const
{
    return mSub && mSub->isMinimized();
}

void KForm::setCaption(const QString &caption)
{
    mCaption = caption;
    applyTitle();
}

QString KForm::caption() const
{
    return mCaption;
}

void KForm::setModifiedMark(bool modified)
{
    if (mModifiedMark == modified)
        return;
    mModifiedMark = modified;
    applyTitle();
}

void KForm::applyTitle()
{
    // Only the window carries the title: a form with a title of its own would hand it to
    // its window as soon as it is placed in it. A covered window keeps none (see setSight).
    if (!mSub)
        return;
    if (mSight == windowCover::Sight::Covered)
        mSub->setWindowTitle(QString());
    else
        mSub->setWindowTitle(mModifiedMark ? basSystem::modifiedMark + mCaption : mCaption);
}

void KForm::setSight(windowCover::Sight sight)
{
    if (!mSub || (mSightKnown && sight == mSight))
        return;
    const bool wasCovered = mSight == windowCover::Sight::Covered;
    mSight = sight;
    mSightKnown = true;
    const bool covered = sight == windowCover::Sight::Covered;
    if (covered != wasCovered) {
        mSub->setUpdatesEnabled(!covered);
        applyTitle();
    }
    if (sight == windowCover::Sight::Contents)
        contentsSeen();
}

void KForm::Show()
{
    if (mUnloaded)
        return;
    const bool fresh = !mSub;
    if (fresh)
        makeSubWindow();
    QMdiSubWindow *sub = mSub;
    if (gShowBatch) {
        // A window that is not enabled does not activate itself when shown.
        if (sub->isEnabled()) {
            sub->setEnabled(false);
            gShowBatch->mShown.removeAll(sub);
            gShowBatch->mShown << sub;
        }
        sub->show();
        if (fresh)
            applyTitle();
        return;
    }
    sub->show();
    if (fresh)
        applyTitle();
    if (QMdiArea *area = sub->mdiArea())
        area->setActiveSubWindow(sub);
}

void KForm::Hide()
{
    if (mSub)
        mSub->hide();
}

void KForm::setVisible(bool visible)
{
    if (visible)
        Show();
    else
        Hide();
}

bool KForm::Visible() const
{
    return mSub && !mSub->isHidden();
}

void KForm::SetFocus()
{
    if (!mSub)
        return;
    if (QMdiArea *area = mSub->mdiArea())
        area->setActiveSubWindow(mSub);
    // A form that names a control to take its focus (its focus proxy) gives it there.
    if (focusProxy())
        setFocus(Qt::OtherFocusReason);
    else
        mSub->setFocus(Qt::OtherFocusReason);
}

void KForm::focusFirstControl()
{
    SetFocus();
    // A form's controls follow it in the focus chain.
    for (QWidget *w = nextInFocusChain(); w != this && isAncestorOf(w); w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

bool KForm::Unload(int reason)
{
    if (mUnloaded)
        return true;
    if (!mSub) {
        // Never shown: there is no window to close, only the form to discard.
        mPendingReason = reason;
        const bool closed = handleClose();
        mPendingReason = vbFormControlMenu;
        if (closed)
            deleteLater();
        return closed;
    }
    mPendingReason = reason;
    const bool closed = mSub->close();
    mPendingReason = vbFormControlMenu;
    return closed;
}

void KForm::applyStoredGeometry(qint32 height, qint32 width, qint32 top, qint32 left)
{
    // The settings file may hold any number: the window is kept on the screen.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const formLayout::TwipGeometry g
        = formLayout::keepOnScreen(formLayout::TwipGeometry{height, width, top, left},
                                   pixelsToTwipsX(available.width()), pixelsToTwipsY(available.height()));
    setHeight(g.height);
    setWidth(g.width);
    setTop(g.top);
    setLeft(g.left);
}

void KForm::recordGeometry(int reason, qint32 &height, qint32 &width, qint32 &top, qint32 &left, qint32 &visible) const
{
    height = Height();
    width = Width();
    top = Top();
    left = Left();
    if (reason == vbFormControlMenu || reason == vbFormCode)
        visible = 0;
}

void KForm::placeControl(QWidget *control, const TwipRect &r)
{
    control->setGeometry(toPixels(r));
}

void KForm::Form_QueryUnload(bool &, int) { }

void KForm::applySize()
{
    if (!mSub)
        return;
    mApplying = true;
    mSub->resize(std::max(1, twipsToPixelsX(mWidth)), std::max(1, twipsToPixelsY(mHeight)));
    mApplying = false;
}

bool KForm::eventFilter(QObject *watched, QEvent *event)
{
    // Only the window's close and resize matter; other events also arrive while the window
    // is being destroyed, when it must not be touched.
    if (watched == mSubObject) {
        if (event->type() == QEvent::Close && !handleClose()) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::Resize && !mApplying)
            handleResize();
    }
    return QWidget::eventFilter(watched, event);
}

bool KForm::handleClose()
{
    bool cancel = false;
    const int reason = mPendingReason;
    Form_QueryUnload(cancel, reason);
    if (cancel)
        return false;
    mUnloaded = true;
    return true;
}

void KForm::handleResize()
{
    // A size the window system gave us: keep the exact twips when the pixels still match
    // them, so that sizes which are no whole number of pixels survive; ignore the
    // minimised shape, which is no size of the form.
    if (!mSub->isMinimized()) {
        if (mSub->width() != twipsToPixelsX(mWidth))
            mWidth = pixelsToTwipsX(mSub->width());
        if (mSub->height() != twipsToPixelsY(mHeight))
            mHeight = pixelsToTwipsY(mSub->height());
    }
    Form_Resize();
}

void KForm::onStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState)
{
    const bool wasActive = oldState.testFlag(Qt::WindowActive);
    const bool isActive = newState.testFlag(Qt::WindowActive);
    if (isActive && !wasActive)
        Form_Activate();
    else if (wasActive && !isActive)
        Form_Deactivate();
}
