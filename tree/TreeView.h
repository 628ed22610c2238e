#pragma once
// The picture box of the site tree: paints the labels of a TreeModel that fall inside it,
// cut off at its edges as a picture box cuts off its children, and turns a click on a
// page's title label into that page's index. Broken links are drawn in red, with the path
// looked for in their tooltip; while the site's links are being checked, every link is
// drawn in a quieter colour. A click on a link label names its page and link.

#include "tree/LinkChecker.h"
#include "tree/TreeColours.h"
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
    // The site's link check (not owned): broken links are drawn in red.
    void setLinkCheck(const LinkChecker *checker);
    // The broken-link outcome of a label, or nullptr when it is not a broken link.
    const linkCheck::Lookup *brokenLink(const TreeLabel &label) const;
    // Whether a label is a link whose check is not in yet.
    bool awaitsCheck(const TreeLabel &label) const;

Q_SIGNALS:
    // A title label was clicked (pressed and released on it); `page` is its page index.
    void titleClicked(qint32 page);
    // A link label was clicked; `link` is its link number (1 up) on page `page`.
    void linkClicked(qint32 page, qint32 link);
    // The context menu was asked for on a title label, at `globalPos`.
    void titleMenuRequested(qint32 page, const QPoint &globalPos);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QRect pixelRect(const TreeLabel &label) const;
    void paintLabel(QPainter &painter, const TreeLabel &label, const TreeColours &colours) const;
    // The title or link label under a point, as (page, link number; 0 for a title).
    std::optional<std::pair<qint32, qint32>> clickableAt(const QPointF &pos) const;

    const TreeModel &mModel;
    std::function<bool(qint32)> mMarked;
    const LinkChecker *mChecker = nullptr;
    std::optional<std::pair<qint32, qint32>> mPressed;
};
