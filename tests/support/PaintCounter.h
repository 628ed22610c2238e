#pragma once
// Counts the paints a widget gets, and where they fall, once installed as its event filter.

#include <QObject>
#include <QPaintEvent>
#include <QRegion>

struct PaintCounter : QObject {
    int paints = 0;
    QRegion painted;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }
};
