#pragma once
// A vertical scroll bar with Min, Max and Value kept as the program sets them: Change
// follows every change of Value, whether the user or program code made it (a Max that
// pulls Value into range included), and Scroll follows each move of a dragged thumb,
// whose Value changes only when it is released.

#include <QScrollBar>

class VScrollBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit VScrollBar(QWidget *parent);

    qint32 Min() const { return mMin; }
    qint32 Max() const { return mMax; }
    qint32 Value() const { return mValue; }
    void setMin(qint32 min);
    void setMax(qint32 max);
    void setValue(qint32 value);
    // Sets all three at once without a Change, for a reset that must not redraw anything.
    void resetQuietly(qint32 min, qint32 max, qint32 value);

Q_SIGNALS:
    void Change();
    void Scroll();

private:
    // Value is kept between Min and Max, whichever of them is the larger.
    qint32 clamped(qint32 value) const;
    void changeValue(qint32 value);
    // Puts Min, Max and Value on the bar without taking it for a move by the user.
    void mirror();

    qint32 mMin = 0;
    qint32 mMax = 32767;
    qint32 mValue = 0;
};
