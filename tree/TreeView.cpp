#include "tree/TreeView.h"
#include "common/TextHelpers.h"
#include "platform/Twips.h"
#include "platform/Fonts.h"
#include "tree/TreeTexts.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

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

void TreeView::setLinkCheck(const LinkChecker *checker)
{
    mChecker = checker;
    update();
}

const linkCheck::Lookup *TreeView::brokenLink(const TreeLabel &label) const
{
    const linkCheck::SiteLinks *links = mChecker ? mChecker->links() : nullptr;
    if (!links || label.array != TreeLabel::Array::Link || label.link < 1)
        return nullptr;
    return links->brokenLink(label.page, label.link);
}

bool TreeView::awaitsCheck(const TreeLabel &label) const
{
    return label.array == TreeLabel::Array::Link && label.link >= 1 && mChecker && !mChecker->links();
}

QRect TreeView::pixelRect(const TreeLabel &label) const
{
    const qint32 width = label.autoSize ? captionWidth(label.caption) : label.width;
    return toPixels(TwipRect{int(label.left), int(label.top), width, TreeModel::labelHeight});
}

void TreeView::paintLabel(QPainter &painter, const TreeLabel &label, const TreeColours &colours) const
{
    const QRect r = pixelRect(label);
    if (r.isEmpty())
        return;
    if (label.grey)
        painter.fillRect(r, colours.bar);
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    if (brokenLink(label))
        painter.setPen(colours.broken);
    else if (awaitsCheck(label))
        painter.setPen(colours.unchecked);
    painter.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shownCaption(label));
    painter.restore();
}

void TreeView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    const TreeColours colours = treeColours(palette());
    painter.setPen(colours.text);
    // Only the rows that reach into the area to paint; a row's labels are 240 high.
    const qint64 top = pixelsToTwipsY(event->rect().top());
    const qint64 bottom = pixelsToTwipsY(event->rect().bottom() + 1);
    const qint64 first
        = std::max<qint64>(0, (top - TreeModel::firstTop - TreeModel::labelHeight) / TreeModel::rowPitch);
    const qint64 last = std::min<qint64>(mModel.rowCount() - 1, (bottom - TreeModel::firstTop) / TreeModel::rowPitch);
    for (qint64 row = first; row <= last; ++row) {
        // Title labels lie under the right-column labels, which were loaded after them.
        if (const auto title = mModel.titleOnRow(row))
            paintLabel(painter, *title, colours);
        if (const auto right = mModel.rightOnRow(row))
            paintLabel(painter, *right, colours);
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

std::optional<std::pair<qint32, qint32>> TreeView::clickableAt(const QPointF &pos) const
{
    const auto label = labelAt(pixelsToTwipsX(qRound(pos.x())), pixelsToTwipsY(qRound(pos.y())));
    if (!label)
        return std::nullopt;
    if (label->array == TreeLabel::Array::HTML)
        return std::pair{label->page, 0};
    if (label->link > 0)
        return std::pair{label->page, label->link};
    return std::nullopt;   // a file-name label
}

void TreeView::mousePressEvent(QMouseEvent *event)
{
    mPressed = clickableAt(event->position());
    QWidget::mousePressEvent(event);
}

void TreeView::mouseReleaseEvent(QMouseEvent *event)
{
    const auto pressed = std::exchange(mPressed, std::nullopt);
    if (pressed && clickableAt(event->position()) == pressed) {
        if (pressed->second == 0)
            emit titleClicked(pressed->first);
        else
            emit linkClicked(pressed->first, pressed->second);
    }
    QWidget::mouseReleaseEvent(event);
}

void TreeView::contextMenuEvent(QContextMenuEvent *event)
{
    const auto label = clickableAt(QPointF(event->pos()));
    if (label && label->second == 0)
        emit titleMenuRequested(label->first, event->globalPos());
}

bool TreeView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const auto label = labelAt(pixelsToTwipsX(help->pos().x()), pixelsToTwipsY(help->pos().y()));
    if (const linkCheck::Lookup *broken = label ? brokenLink(*label) : nullptr)
        QToolTip::showText(help->globalPos(), treeTexts::brokenLinkTip(broken->path, broken->onDisk), this);
    else if (label && awaitsCheck(*label))
        QToolTip::showText(help->globalPos(), treeTexts::linksBeingChecked, this);
    else
        QToolTip::hideText();
    return true;
}
