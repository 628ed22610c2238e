#include "platform/KForm.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
QPointer<QMdiArea> gDefaultArea;
}

void KForm::setDefaultArea(QMdiArea *area)
{
    gDefaultArea = area;
}

QMdiArea *KForm::defaultArea()
{
    return gDefaultArea;
}

KForm::KForm(QMdiArea *area, Border border)
{
    Qt::WindowFlags flags = Qt::SubWindow;
    if (border == Border::SizableToolWindow)
        flags |= Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    mSub = new QMdiSubWindow(nullptr, flags);
    mSub->setWidget(this);
    mSub->setAttribute(Qt::WA_DeleteOnClose);
    if (area)
        area->addSubWindow(mSub);
    mSub->hide();
    mSub->installEventFilter(this);
    connect(mSub, &QMdiSubWindow::windowStateChanged, this, &KForm::onStateChanged);
    mWidth = pixelsToTwipsX(mSub->width());
    mHeight = pixelsToTwipsY(mSub->height());
}

// Nothing to undo: a destroyed event filter is skipped by Qt, and the sub window, which
// owns the form, is usually already being destroyed itself (reaching it through mSub
// would then treat a half-destroyed object as a sub window).
KForm::~KForm() = default;

int KForm::Left() const
{
    return pixelsToTwipsX(mSub->x());
}

int KForm::Top() const
{
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
    mSub->move(twipsToPixelsX(twips), mSub->y());
}

void KForm::setTop(int twips)
{
    mSub->move(mSub->x(), twipsToPixelsY(twips));
}

bool KForm::isMinimized() const
{
    return mSub->isMinimized();
}

void KForm::setCaption(const QString &caption)
{
    setWindowTitle(caption);
    mSub->setWindowTitle(caption);
}

QString KForm::caption() const
{
    return mSub->windowTitle();
}

void KForm::Show()
{
    mSub->show();
    if (QMdiArea *area = mSub->mdiArea())
        area->setActiveSubWindow(mSub);
}

void KForm::Hide()
{
    mSub->hide();
}

bool KForm::Visible() const
{
    return !mSub->isHidden();
}

void KForm::SetFocus()
{
    if (QMdiArea *area = mSub->mdiArea())
        area->setActiveSubWindow(mSub);
    mSub->setFocus();
}

bool KForm::Unload(int reason)
{
    if (mUnloaded)
        return true;
    mPendingReason = reason;
    const bool closed = mSub->close();
    mPendingReason = vbFormControlMenu;
    return closed;
}

void KForm::applyStoredGeometry(qint32 height, qint32 width, qint32 top, qint32 left)
{
    setHeight(height);
    setWidth(width);
    setTop(top);
    setLeft(left);
}

void KForm::recordGeometry(int reason, qint32 &height, qint32 &width, qint32 &top, qint32 &left,
                           qint32 &visible) const
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

void KForm::Form_QueryUnload(bool &, int)
{
}

void KForm::applySize()
{
    mApplying = true;
    mSub->resize(std::max(1, twipsToPixelsX(mWidth)), std::max(1, twipsToPixelsY(mHeight)));
    mApplying = false;
}

bool KForm::eventFilter(QObject *watched, QEvent *event)
{
    // Only closes and resizes matter; the event type is tested first because the sub
    // window also sends events while it is being destroyed, when it is no longer one.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Close || type == QEvent::Resize) && watched == mSub) {
        if (type == QEvent::Close && !handleClose()) {
            event->ignore();
            return true;
        }
        if (type == QEvent::Resize && !mApplying)
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
