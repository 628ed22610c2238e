#include "platform/AreaCover.h"
#include "common/WindowCover.h"
#include "platform/KForm.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
const QString coverName = QStringLiteral("kformCover");

// A change that may cover or uncover a window.
bool mayChangeSight(QEvent::Type type)
{
    switch (type) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ZOrderChange:
    case QEvent::WindowStateChange:
    case QEvent::ChildRemoved: return true;
    default: return false;
    }
}

// What a shown window covers (cut to its mask, where its style rounds its corners) and
// where its contents are; a minimised window shows no contents.
windowCover::Window coverOf(const QMdiSubWindow *sub)
{
    const QWidget *contents = sub->widget();
    const QRect contentsRect = contents && !sub->isMinimized() ? contents->geometry().translated(sub->pos()) : QRect();
    return windowCover::Window{sub->geometry(), sub->mask(), contentsRect};
}
}   // namespace

void AreaCover::watch(QMdiArea *area)
{
    if (area && !area->findChild<AreaCover *>(coverName, Qt::FindDirectChildrenOnly))
        new AreaCover(area);
}

AreaCover::AreaCover(QMdiArea *area) : QObject(area), mArea(area)
{
    setObjectName(coverName);
    area->viewport()->installEventFilter(this);
    for (QObject *child : area->viewport()->children())
        child->installEventFilter(this);
    lookAgain();
}

bool AreaCover::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ChildAdded && watched == mArea->viewport())
        static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
    else if (mayChangeSight(type))
        lookAgain();
    return QObject::eventFilter(watched, event);
}

// The look runs once the events now waiting are handled: the area's next paint waits
// behind events of ordinary priority, so that it paints what the look decided.
void AreaCover::lookAgain()
{
    if (mLookPosted)
        return;
    mLookPosted = true;
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
}

void AreaCover::customEvent(QEvent *event)
{
    if (event->type() != QEvent::User)
        return;
    mLookPosted = false;
    look();
}

// The viewport's children stand in stacking order, the top one last.
void AreaCover::look()
{
    QList<QMdiSubWindow *> topDown;
    QList<windowCover::Window> covers;
    const QObjectList stack = mArea->viewport()->children();
    for (auto child = stack.crbegin(); child != stack.crend(); ++child) {
        auto *sub = qobject_cast<QMdiSubWindow *>(*child);
        if (!sub)
            continue;
        if (sub->isHidden()) {
            // A hidden window is out of sight, and comes into it again when shown.
            if (auto *form = qobject_cast<KForm *>(sub->widget()))
                form->setSight(windowCover::Sight::Covered);
            continue;
        }
        topDown << sub;
        covers << coverOf(sub);
    }
    const QList<windowCover::Sight> sights = windowCover::sights(covers, mArea->viewport()->rect());
    for (qsizetype i = 0; i < topDown.size(); ++i)
        if (auto *form = qobject_cast<KForm *>(topDown.at(i)->widget()))
            form->setSight(sights.at(i));
}
