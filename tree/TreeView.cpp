#include "tree/TreeView.h"
#include "common/TextHelpers.h"
#include "platform/Twips.h"
#include "platform/Fonts.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TreeView::TreeView(const TreeModel &model, QWidget *parent) : QWidget(parent), mModel(model)
{
    setFont(labelFont());
    setAutoFillBackground(true);
}

QFont TreeView::labelFont()
{
    return msGothicFont();
}

qint32 TreeView::captionWidth(const QString &caption) const
{
    return pixelsToTwipsX(fontMetrics().horizontalAdvance(caption));
}

void TreeView::setMarkedPages(std::function<bool(qint32)> marked)
{
    mMarked = std::move(marked);
    update();
}

QString TreeView::shownCaption(const TreeLabel &label) const
{
    const bool marked = label.array == TreeLabel::Array::HTML && mMarked && mMarked(label.page);
    return marked ? basSystem::modifiedMark + label.caption : label.caption;
}

QRect TreeView::pixelRect(const TreeLabel &label) const
{
    const qint32 width = label.autoSize ? captionWidth(label.caption) : label.width;
    return toPixels(TwipRect{int(label.left), int(label.top), width, TreeModel::labelHeight});
}

void TreeView::paintLabel(QPainter &painter, const TreeLabel &label) const
{
    const QRect r = pixelRect(label);
    if (r.isEmpty())
        return;
    if (label.grey)
        painter.fillRect(r, QColor::fromRgb(TreeModel::barColour));
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    painter.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shownCaption(label));
    painter.restore();
}

void TreeView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.setPen(palette().color(QPalette::WindowText));
    // Only the rows that reach into the area to paint; a row's labels are 240 high.
    const qint64 top = pixelsToTwipsY(event->rect().top());
    const qint64 bottom = pixelsToTwipsY(event->rect().bottom() + 1);
    const qint64 first
        = std::max<qint64>(0, (top - TreeModel::firstTop - TreeModel::labelHeight) / TreeModel::rowPitch);
    const qint64 last = std::min<qint64>(mModel.rowCount() - 1, (bottom - TreeModel::firstTop) / TreeModel::rowPitch);
    for (qint64 row = first; row <= last; ++row) {
        // Title labels lie under the right-column labels, which were loaded after them.
        if (const auto title = mModel.titleOnRow(row))
            paintLabel(painter, *title);
        if (const auto right = mModel.rightOnRow(row))
            paintLabel(painter, *right);
    }
}

std::optional<TreeLabel> TreeView::labelAt(qint64 x, qint64 y) const
{
    const std::optional<qint64> row = mModel.rowAt(y);
    if (!row)
        return std::nullopt;
    if (auto right = mModel.rightOnRow(*row);
        right && x >= right->left && x < right->left + captionWidth(right->caption))
        return right;
    if (auto title = mModel.titleOnRow(*row); title && x >= title->left && x < title->left + title->width)
        return title;
    return std::nullopt;
}

std::optional<qint32> TreeView::titlePageAt(const QPointF &pos) const
{
    const auto label = labelAt(pixelsToTwipsX(qRound(pos.x())), pixelsToTwipsY(qRound(pos.y())));
    if (!label || label->array != TreeLabel::Array::HTML)
        return std::nullopt;
    return label->page;
}

void TreeView::mousePressEvent(QMouseEvent *event)
{
    mPressedTitle = titlePageAt(event->position());
    QWidget::mousePressEvent(event);
}

void TreeView::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<qint32> pressed = std::exchange(mPressedTitle, std::nullopt);
    if (pressed && titlePageAt(event->position()) == pressed)
        emit titleClicked(*pressed);
    QWidget::mouseReleaseEvent(event);
}
