#include "platform/Platform.h"
#include "platform/QtPlatform.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace {
Platform *gInstalled = nullptr;
}

Platform &platform()
{
    if (gInstalled)
        return *gInstalled;
    static QtPlatform real;
    return real;
}

Platform *setPlatform(Platform *p)
{
    return std::exchange(gInstalled, p);
}

void postKeyStroke(QWidget *target, int key, const QString &text)
{
    if (!target)
        return;
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}
