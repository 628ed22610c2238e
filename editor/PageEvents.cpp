#include "editor/PageEvents.h"
#include "editor/frmChild1.h"

#include <QCoreApplication>
#include <QPointer>

PageEvents &PageEvents::instance()
{
    // Owned by the application, so that it goes with it (tests make more than one).
    static QPointer<PageEvents> events;
    if (!events)
        events = new PageEvents(QCoreApplication::instance());
    return *events;
}

void PageEvents::follow(frmChild1 *editor)
{
    PageEvents *events = &instance();
    connect(editor, &frmChild1::typingPaused, events, [events, editor] { emit events->typingPaused(editor); });
    connect(editor, &frmChild1::saved, events, [events, editor] { emit events->saved(editor); });
}
