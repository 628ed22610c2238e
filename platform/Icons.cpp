#include "platform/Icons.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QTransform>

#include <array>
#include <iterator>

namespace {

// A floppy disk: the body, the metal shutter at the top and the paper label below.
void drawDisk(QPainter &p)
{
    p.setPen(QPen(QColor(0x1f, 0x3a, 0x6e), 1));
    p.setBrush(QColor(0x35, 0x5f, 0xa8));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc8, 0xcd, 0xd4));
    p.drawRect(QRectF(4, 2, 7, 4));
    p.setBrush(QColor(0x35, 0x5f, 0xa8));
    p.drawRect(QRectF(8, 2.5, 2, 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 8.5, 9, 5.5));
    p.setPen(QPen(QColor(0x9a, 0xa4, 0xb0), 1));
    p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
    p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
}

void drawSave(QPainter &p)
{
    drawDisk(p);
}

// A pencil across the lower right corner: the mark of "under another name".
void drawPencil(QPainter &p)
{
    p.save();
    p.translate(11.5, 11.5);
    p.rotate(-45);
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x10), 1));
    p.setBrush(QColor(0xf2, 0xb8, 0x30));
    p.drawRect(QRectF(-5.5, -1.8, 8, 3.6));
    const QPolygonF tip{QPointF(2.5, -1.8), QPointF(5.5, 0), QPointF(2.5, 1.8)};
    p.setBrush(QColor(0xf5, 0xde, 0xb3));
    p.drawPolygon(tip);
    p.restore();
}

// The disk with a pencil: save under another name.
void drawSaveAs(QPainter &p)
{
    drawDisk(p);
    drawPencil(p);
}

// A globe with its equator and meridians: open in the web browser.
void drawPreview(QPainter &p)
{
    const QRectF globe(1.5, 1.5, 13, 13);
    p.setPen(QPen(QColor(0x1c, 0x5a, 0x8a), 1.2));
    p.setBrush(QColor(0x8f, 0xc9, 0xf0));
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x1c, 0x5a, 0x8a), 0.9));
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(2.8, 4.8), QPointF(13.2, 4.8));
    p.drawLine(QPointF(2.8, 11.2), QPointF(13.2, 11.2));
}

// A window with a red cross: close.
void drawClose(QPainter &p)
{
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x6f, 0xa5));
    p.drawRect(QRectF(2, 2, 12, 3));
    p.setPen(QPen(QColor(0xc6, 0x28, 0x28), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 7.5), QPointF(11, 13));
    p.drawLine(QPointF(11, 7.5), QPointF(5, 13));
}

// --- The site tree's pictures -------------------------------------------------------

// A sheet of paper with its top right corner folded, inside `r`.
void drawSheet(QPainter &p, const QRectF &r)
{
    const qreal fold = 4;
    const QPolygonF sheet{QPointF(r.left(), r.top()), QPointF(r.right() - fold, r.top()),
                          QPointF(r.right(), r.top() + fold), QPointF(r.right(), r.bottom()),
                          QPointF(r.left(), r.bottom())};
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xdd, 0xdd, 0xdd));
    p.drawPath(corner);
}

// The mark of a site definition: a small tree of pages, one root and two branches, the
// rows `pitch` apart.
void drawTreeMark(QPainter &p, qreal x, qreal y, const QColor &colour, qreal pitch = 3.5)
{
    p.setPen(QPen(colour, 1));
    p.setBrush(colour);
    p.drawRect(QRectF(x, y, 3, 1.5));
    p.drawRect(QRectF(x + 4, y + pitch, 3, 1.5));
    p.drawRect(QRectF(x + 4, y + 2 * pitch, 3, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(x + 1.5, y + 1.5), QPointF(x + 1.5, y + 2 * pitch + 0.75));
    p.drawLine(QPointF(x + 1.5, y + pitch + 0.75), QPointF(x + 4, y + pitch + 0.75));
    p.drawLine(QPointF(x + 1.5, y + 2 * pitch + 0.75), QPointF(x + 4, y + 2 * pitch + 0.75));
}

// The site definition: a sheet showing the tree of its pages.
void drawSiteSheet(QPainter &p)
{
    drawSheet(p, QRectF(2.5, 1.5, 10, 13));
    drawTreeMark(p, 4.5, 4, QColor(0x2a, 0x5d, 0xb0));
}

// A page: a sheet with an orange "<>" on it.
void drawPageSheet(QPainter &p)
{
    drawSheet(p, QRectF(1.5, 1.5, 10, 13));
    p.setPen(QPen(QColor(0xd0, 0x60, 0x10), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(5.5, 5.5), QPointF(3.5, 8), QPointF(5.5, 10.5)}));
    p.drawPolyline(QPolygonF({QPointF(7.5, 5.5), QPointF(9.5, 8), QPointF(7.5, 10.5)}));
}

// A yellow four-pointed sparkle: something new.
void drawSparkle(QPainter &p, QPointF c)
{
    const QPolygonF star{QPointF(c.x(), c.y() - 4), QPointF(c.x() + 1.2, c.y() - 1.2),
                         QPointF(c.x() + 4, c.y()), QPointF(c.x() + 1.2, c.y() + 1.2),
                         QPointF(c.x(), c.y() + 4), QPointF(c.x() - 1.2, c.y() + 1.2),
                         QPointF(c.x() - 4, c.y()), QPointF(c.x() - 1.2, c.y() - 1.2)};
    p.setPen(QPen(QColor(0xa0, 0x70, 0x00), 0.8));
    p.setBrush(QColor(0xff, 0xd2, 0x20));
    p.drawPolygon(star);
}

// A round badge in the lower right corner with a white plus or minus.
void drawBadge(QPainter &p, const QColor &fill, bool plus)
{
    const QPointF c(11.5, 11.5);
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawEllipse(c, 4, 4);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(c.x() - 2.3, c.y()), QPointF(c.x() + 2.3, c.y()));
    if (plus)
        p.drawLine(QPointF(c.x(), c.y() - 2.3), QPointF(c.x(), c.y() + 2.3));
}

void drawSiteNew(QPainter &p)
{
    drawSiteSheet(p);
    drawSparkle(p, QPointF(11.5, 4.5));
}

// An open yellow folder with the site's sheet standing in it.
void drawSiteOpen(QPainter &p)
{
    p.setPen(QPen(QColor(0x9a, 0x6a, 0x10), 1));
    p.setBrush(QColor(0xe8, 0xb8, 0x40));
    const QPolygonF back{QPointF(1.5, 13.5), QPointF(1.5, 3.5), QPointF(5.5, 3.5),
                         QPointF(6.5, 5),    QPointF(12.5, 5),  QPointF(12.5, 13.5)};
    p.drawPolygon(back);
    drawSheet(p, QRectF(4.5, 2.5, 8, 9));
    drawTreeMark(p, 6, 4.5, QColor(0x2a, 0x5d, 0xb0));
    p.setPen(QPen(QColor(0x9a, 0x6a, 0x10), 1));
    p.setBrush(QColor(0xf8, 0xd0, 0x60));
    const QPolygonF front{QPointF(1.5, 13.5), QPointF(4, 8.5), QPointF(15, 8.5), QPointF(12.5, 13.5)};
    p.drawPolygon(front);
}

// The disk, its label carrying the tree mark of a site definition.
void drawSiteSave(QPainter &p)
{
    drawDisk(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 7.5, 9, 6.5));
    drawTreeMark(p, 5, 8, QColor(0x2a, 0x5d, 0xb0), 2.3);
}

void drawSiteSaveAs(QPainter &p)
{
    drawSiteSave(p);
    drawPencil(p);
}

void drawPageNew(QPainter &p)
{
    drawPageSheet(p);
    drawSparkle(p, QPointF(11.5, 11.5));
}

void drawPageAdd(QPainter &p)
{
    drawPageSheet(p);
    drawBadge(p, QColor(0x2e, 0x9e, 0x3e), true);
}

void drawPageRemove(QPainter &p)
{
    drawPageSheet(p);
    drawBadge(p, QColor(0xd0, 0x30, 0x30), false);
}

// A grey cog wheel: settings.
void drawSiteProperties(QPainter &p)
{
    const QPointF c(8, 8);
    QPainterPath cog;
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(45.0 * i);
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.6, -7, 3.2, 3));
        cog.addPath(t.map(tooth));
    }
    QPainterPath wheel;
    wheel.addEllipse(c, 5, 5);
    cog = cog.united(wheel);
    QPainterPath hole;
    hole.addEllipse(c, 2, 2);
    cog = cog.subtracted(hole);
    p.setPen(QPen(QColor(0x40, 0x48, 0x50), 1));
    p.setBrush(QColor(0x9a, 0xa6, 0xb2));
    p.drawPath(cog);
}

// A door standing open with a green arrow leaving through it: close the application.
void drawAppExit(QPainter &p)
{
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x1a), 1));
    p.setBrush(QColor(0x3a, 0x2a, 0x1a));
    p.drawRect(QRectF(1.5, 1.5, 8, 13));
    p.setBrush(QColor(0xb0, 0x78, 0x40));
    const QPolygonF leaf{QPointF(1.5, 1.5), QPointF(5.5, 3), QPointF(5.5, 15.5), QPointF(1.5, 14.5)};
    p.drawPolygon(leaf);
    p.setPen(QPen(QColor(0x1e, 0x7a, 0x2e), 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawLine(QPointF(7, 8), QPointF(12.5, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1e, 0x7a, 0x2e));
    p.drawPolygon(QPolygonF({QPointF(11.5, 4), QPointF(15.5, 8), QPointF(11.5, 12)}));
}

struct IconLook {
    const char *themeName;   // nullptr: always the picture drawn here
    void (*draw)(QPainter &);
};

// One row per CommandIcon, in the enum's order.
constexpr IconLook iconLooks[] = {
    {"document-save", drawSave}, {"document-save-as", drawSaveAs}, {"web-browser", drawPreview},
    {"window-close", drawClose}, {nullptr, drawSiteNew},           {nullptr, drawSiteOpen},
    {nullptr, drawSiteSave},     {nullptr, drawSiteSaveAs},        {nullptr, drawPageNew},
    {nullptr, drawPageAdd},      {nullptr, drawPageRemove},        {nullptr, drawSiteProperties},
    {nullptr, drawAppExit},
};
static_assert(std::size(iconLooks) == std::size_t(CommandIcon::Count), "one picture per command icon");

const IconLook &lookOf(CommandIcon which)
{
    return iconLooks[std::size_t(which)];
}

}   // namespace

QPixmap fallbackPixmap(CommandIcon which)
{
    QPixmap pixmap(commandIconSize, commandIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    lookOf(which).draw(painter);
    return pixmap;
}

namespace {
using IconCache = std::array<QIcon, std::size_t(CommandIcon::Count)>;

// The icons live as long as the application: they are dropped when it ends, while the
// window system they belong to still exists.
IconCache &iconCache()
{
    static IconCache cache;
    static const bool cleanupRegistered = [] {
        qAddPostRoutine([] { iconCache().fill(QIcon()); });
        return true;
    }();
    Q_UNUSED(cleanupRegistered);
    return cache;
}
}   // namespace

QIcon commandIcon(CommandIcon which)
{
    QIcon &icon = iconCache().at(std::size_t(which));
    if (icon.isNull()) {
        const IconLook &look = lookOf(which);
        const QIcon own(fallbackPixmap(which));
        icon = look.themeName ? QIcon::fromTheme(QLatin1String(look.themeName), own) : own;
    }
    return icon;
}

namespace {
// The program's picture on a 64 x 64 grid, as resources/pagekiln.svg draws it: two
// sheets, the front one with a tag mark and two lines of text, and a flame at its foot.
void drawProgram(QPainter &p)
{
    const QPen outline(QColor(0x5a, 0x4a, 0x3a), 2);
    p.setPen(outline);
    p.setBrush(QColor(0xf4, 0xf1, 0xea));
    p.drawRoundedRect(QRectF(6, 10, 44, 50), 3, 3);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(14, 4, 44, 50), 3, 3);
    p.setPen(QPen(QColor(0xb0, 0x48, 0x1e), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{QPointF(28, 15), QPointF(23, 20), QPointF(28, 25)});
    p.drawLine(QPointF(38, 14), QPointF(34, 26));
    p.drawPolyline(QPolygonF{QPointF(44, 15), QPointF(49, 20), QPointF(44, 25)});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8a, 0x7a, 0x6a));
    p.drawRect(QRectF(20, 34, 32, 3));
    p.drawRect(QRectF(20, 41, 26, 3));
    QPainterPath flame(QPointF(40, 56));
    flame.quadTo(QPointF(46, 46), QPointF(40, 38));
    flame.quadTo(QPointF(50, 44), QPointF(48, 56));
    flame.closeSubpath();
    p.setBrush(QColor(0xe0, 0x70, 0x2a));
    p.drawPath(flame);
}

QPixmap programPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    drawProgram(painter);
    return pixmap;
}
}   // namespace

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(programPixmap(size));
    return icon;
}
