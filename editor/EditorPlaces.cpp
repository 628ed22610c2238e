#include "editor/EditorPlaces.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace editorPlaces {

namespace {
// The offset of window `k` of `n` windows `size` long spread evenly over `length`: side by
// side when they fit, overlapping evenly when they do not, the last one ending at the end.
int spread(int k, int n, int length, int size)
{
    return n > 1 ? int(qint64(k) * std::max(0, length - size) / (n - 1)) : 0;
}
}   // namespace

QRect room(const QRect &visible, const QList<QRect> &tools, int wantedWidth)
{
    const int end = visible.left() + visible.width();
    QList<std::pair<int, int>> taken;   // the tool windows' stretches of the width, [left, right)
    for (const QRect &tool : tools)
        if (tool.intersects(visible))
            taken.append({std::max(tool.left(), visible.left()), std::min(tool.left() + tool.width(), end)});
    std::sort(taken.begin(), taken.end());
    int bestLeft = visible.left();
    int bestWidth = 0;
    int from = visible.left();
    auto consider = [&](int left, int right) {
        if (right - left > bestWidth) {
            bestLeft = left;
            bestWidth = right - left;
        }
    };
    for (const auto &[left, right] : std::as_const(taken)) {
        consider(from, left);
        from = std::max(from, right);
    }
    consider(from, end);
    if (bestWidth < wantedWidth)
        return visible;
    return QRect(bestLeft, visible.top(), bestWidth, visible.height());
}

namespace {
// A stretch of a grid's columns.
struct Band {
    int first = 0;
    int count = 0;
};

// The grid of places for windows of one size in an area: the room's columns (where a
// window lies wholly in the room), then those right of the room, then those left of it.
struct Grid {
    QPoint origin;   // the place in column 0, row 0
    int step = 1;
    int columns = 1;   // columns and rows of places where a window lies wholly in the area
    int rows = 1;
    std::array<Band, 3> bands;

    QPoint at(int column, int row) const { return origin + QPoint(column * step, row * step); }

    // The place after (column, row) within `band`: one step down and to the right; where
    // that leaves the band, the start of the next diagonal, along the top edge, then down
    // the band's left edge; nothing once the band's last diagonal is done.
    std::optional<QPoint> nextInBand(const Band &band, int column, int row) const
    {
        const int local = column - band.first;
        if (local + 1 < band.count && row + 1 < rows)
            return at(column + 1, row + 1);
        const int diagonal = local - row;
        if (diagonal >= 0 && diagonal + 1 < band.count)
            return at(band.first + diagonal + 1, 0);
        const int down = diagonal >= 0 ? 1 : 1 - diagonal;
        if (down < rows)
            return at(band.first, down);
        return std::nullopt;
    }
};

Grid gridFor(const QRect &area, const QRect &room, QSize size, int step)
{
    Grid g;
    g.step = std::max(1, step);
    const int skip = std::max(0, room.left() - area.left()) % g.step;   // so that the room's edge is a column
    g.origin = area.topLeft() + QPoint(skip, 0);
    g.columns = std::max(0, area.width() - skip - size.width()) / g.step + 1;
    g.rows = std::max(0, area.height() - size.height()) / g.step + 1;
    const int first = std::clamp((room.left() - g.origin.x()) / g.step, 0, g.columns - 1);
    const int last
        = std::clamp((room.left() + room.width() - size.width() - g.origin.x()) / g.step, first, g.columns - 1);
    g.bands = {Band{first, last - first + 1}, Band{last + 1, g.columns - 1 - last}, Band{0, first}};
    return g;
}
}   // namespace

QPoint nextCascadePlace(const QRect &area, const QRect &room, QSize size, int step, std::optional<QPoint> last)
{
    const Grid g = gridFor(area, room, size, step);
    const Band &roomBand = g.bands.front();
    if (!last)
        return g.at(roomBand.first, 0);
    // The grid place nearest to the last one (the area may have changed since).
    const QPoint offset = *last - g.origin;
    const int column = std::clamp(int(std::lround(double(offset.x()) / g.step)), 0, g.columns - 1);
    const int row = std::clamp(int(std::lround(double(offset.y()) / g.step)), 0, g.rows - 1);
    const auto band = std::find_if(g.bands.begin(), g.bands.end(),
                                   [column](const Band &b) { return column >= b.first && column < b.first + b.count; });
    if (const std::optional<QPoint> next = g.nextInBand(*band, column, row))
        return *next;
    // The band is done: the next band that has columns, and after the last the room's again.
    for (auto b = band + 1; b != g.bands.end(); ++b)
        if (b->count > 0)
            return g.at(b->first, 0);
    return g.at(roomBand.first, 0);
}

QList<QRect> cascade(const QRect &room, QSize size, int step, int count)
{
    const QSize placed = size.boundedTo(room.size());
    QList<QRect> places;
    std::optional<QPoint> last;
    for (int i = 0; i < count; ++i) {
        last = nextCascadePlace(room, room, placed, step, last);
        places << QRect(*last, placed);
    }
    return places;
}

QList<QRect> tile(const QRect &room, int count, QSize minimum)
{
    QList<QRect> places;
    if (count <= 0)
        return places;
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    const QSize least = minimum.boundedTo(room.size());
    const int height = std::max(least.height(), room.height() / rows);
    for (int row = 0; row < rows; ++row) {
        const int inRow = std::min(columns, count - row * columns);
        const int width = std::max(least.width(), room.width() / inRow);
        const int top = room.top() + spread(row, rows, room.height(), height);
        for (int column = 0; column < inRow; ++column)
            places << QRect(room.left() + spread(column, inRow, room.width(), width), top, width, height);
    }
    return places;
}

QRect keepInside(QRect r, const QRect &visible)
{
    r.setSize(r.size().boundedTo(visible.size()));
    r.moveLeft(std::clamp(r.left(), visible.left(), visible.left() + visible.width() - r.width()));
    r.moveTop(std::clamp(r.top(), visible.top(), visible.top() + visible.height() - r.height()));
    return r;
}

}   // namespace editorPlaces
