#include "platform/Icons.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

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

// The disk with a pencil across its lower right corner: save under another name.
void drawSaveAs(QPainter &p)
{
    drawDisk(p);
    p.save();
    p.translate(11.5, 11.5);
    p.rotate(-45);
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x10), 1));
    p.setBrush(QColor(0xf2, 0xb8, 0x30));
    p.drawRect(QRectF(-5.5, -1.8, 8, 3.6));
    QPainterPath tip;
    tip.moveTo(2.5, -1.8);
    tip.lineTo(5.5, 0);
    tip.lineTo(2.5, 1.8);
    tip.closeSubpath();
    p.setBrush(QColor(0xf5, 0xde, 0xb3));
    p.drawPath(tip);
    p.restore();
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

struct IconSpec {
    const char *themeName;
    void (*draw)(QPainter &);
};

// One row per CommandIcon, in the enum's order.
constexpr IconSpec iconSpecs[] = {
    {"document-save", drawSave},
    {"document-save-as", drawSaveAs},
    {"web-browser", drawPreview},
    {"window-close", drawClose},
};
static_assert(std::size(iconSpecs) == std::size_t(CommandIcon::Count), "one picture per command icon");

const IconSpec &specOf(CommandIcon which)
{
    return iconSpecs[std::size_t(which)];
}

} // namespace

QPixmap fallbackPixmap(CommandIcon which)
{
    QPixmap pixmap(commandIconSize, commandIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    specOf(which).draw(painter);
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
} // namespace

QIcon commandIcon(CommandIcon which)
{
    QIcon &icon = iconCache().at(std::size_t(which));
    if (icon.isNull()) {
        const QString name = QLatin1String(specOf(which).themeName);
        icon = QIcon::fromTheme(name, QIcon(fallbackPixmap(which)));
    }
    return icon;
}
