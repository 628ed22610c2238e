#pragma once
// Counts the paints a widget gets, once installed as its event filter.

#include <QEvent>
#include <QObject>

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
