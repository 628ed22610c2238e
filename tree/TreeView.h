#pragma once
// The picture box of the site tree: paints the labels of a TreeModel that fall inside it,
// cut off at its edges as a picture box cuts off its children, and turns a click on a
// page's title label into that page's index.

#include "tree/TreeModel.h"

#include <QFont>
#include <QWidget>

#include <functional>
#include <optional>

class TreeView : public QWidget
{
    Q_OBJECT
public:
    TreeView(const TreeModel &model, QWidget *parent);

    // The labels' font: a Japanese Gothic face at 9 points.
    static QFont labelFont();

    // The topmost label at a point (twips, relative to the picture box), if any.
    std::optional<TreeLabel> labelAt(qint64 x, qint64 y) const;
    // The width of a label that sizes itself to `caption`, in twips.
    qint32 captionWidth(const QString &caption) const;
    // Title labels of the pages for which `marked` holds start with the mark of unsaved
    // changes.
    void setMarkedPages(std::function<bool(qint32 page)> marked);
    // The text a label shows: its caption, after the mark where it has one.
    QString shownCaption(const TreeLabel &label) const;

Q_SIGNALS:
    // A title label was clicked (pressed and released on it); `page` is its page index.
    void titleClicked(qint32 page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect pixelRect(const TreeLabel &label) const;
    void paintLabel(QPainter &painter, const TreeLabel &label) const;
    std::optional<qint32> titlePageAt(const QPointF &pos) const;

    const TreeModel &mModel;
    std::function<bool(qint32)> mMarked;
    std::optional<qint32> mPressedTitle;
};
