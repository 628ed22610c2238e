#pragma once
// Follows which forms' windows in a multiple-document area can be seen, and tells each
// form when that changes (KForm::setSight). Any change that may cover or uncover a window
// (a window moved, resized, shown, hidden, restacked or gone, the area resized) brings a
// new look once the events then waiting are handled, before the area is painted again.

#include <QObject>

class QMdiArea;

class AreaCover : public QObject
{
public:
    // Follows the windows of `area` from now on (once: later calls for it do nothing).
    static void watch(QMdiArea *area);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    explicit AreaCover(QMdiArea *area);
    void lookAgain();
    void look();

    QMdiArea *mArea;
    bool mLookPosted = false;
};
