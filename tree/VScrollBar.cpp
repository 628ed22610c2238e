#include "tree/VScrollBar.h"

#include <QSignalBlocker>

#include <algorithm>

VScrollBar::VScrollBar(QWidget *parent) : QScrollBar(Qt::Vertical, parent)
{
    setTracking(false);
    mirror();
    connect(this, &QScrollBar::valueChanged, this, [this](int v) { changeValue(v); });
    connect(this, &QScrollBar::sliderMoved, this, [this] { emit Scroll(); });
}

qint32 VScrollBar::clamped(qint32 value) const
{
    return std::clamp(value, std::min(mMin, mMax), std::max(mMin, mMax));
}

void VScrollBar::setMin(qint32 min)
{
    mMin = min;
    changeValue(clamped(mValue));
    mirror();
}

void VScrollBar::setMax(qint32 max)
{
    mMax = max;
    changeValue(clamped(mValue));
    mirror();
}

void VScrollBar::setValue(qint32 value)
{
    changeValue(clamped(value));
}

void VScrollBar::resetQuietly(qint32 min, qint32 max, qint32 value)
{
    mMin = min;
    mMax = max;
    mValue = clamped(value);
    mirror();
}

void VScrollBar::changeValue(qint32 value)
{
    if (value == mValue)
        return;
    mValue = value;
    mirror();
    emit Change();
}

void VScrollBar::mirror()
{
    const QSignalBlocker quiet(this);
    setRange(std::min(mMin, mMax), std::max(mMin, mMax));
    QScrollBar::setValue(mValue);
}
