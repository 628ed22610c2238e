#include "editor/EditorPlaces.h"
#include "support/TestMain.h"

#include <QSet>
#include <QtTest>

using namespace editorPlaces;

namespace {
// An area of 1000 x 600 for windows of 500 x 400, on steps of 20.
const QRect area(0, 0, 1000, 600);
const QSize size(500, 400);
constexpr int step = 20;
}   // namespace

class tst_editorplaces : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roomBesideTheTools_data();
    void roomBesideTheTools();
    void nextPlace_data();
    void nextPlace();
    void everyPlaceOnceBeforeAnyComesBack_data();
    void everyPlaceOnceBeforeAnyComesBack();
    void tile_data();
    void tile();
};

void tst_editorplaces::roomBesideTheTools_data()
{
    QTest::addColumn<QList<QRect>>("tools");
    QTest::addColumn<QRect>("room");
    QTest::newRow("no tools") << QList<QRect>{} << area;
    QTest::newRow("tools on the left") << QList<QRect>{{0, 0, 200, 500}, {200, 0, 100, 300}} << QRect(300, 0, 700, 600);
    QTest::newRow("tools on the right") << QList<QRect>{{650, 50, 400, 300}} << QRect(0, 0, 650, 600);
    QTest::newRow("either side: the wider stretch")
        << QList<QRect>{{0, 0, 100, 600}, {400, 0, 100, 600}} << QRect(500, 0, 500, 600);
    QTest::newRow("overlapping tools") << QList<QRect>{{0, 0, 300, 600}, {100, 0, 150, 600}} << QRect(300, 0, 700, 600);
    QTest::newRow("a tool out of sight") << QList<QRect>{{1200, 0, 300, 600}} << area;
    QTest::newRow("too narrow beside them: the whole area") << QList<QRect>{{0, 0, 600, 600}} << area;
}

void tst_editorplaces::roomBesideTheTools()
{
    QFETCH(QList<QRect>, tools);
    QFETCH(QRect, room);
    QCOMPARE(editorPlaces::room(area, tools, size.width()), room);
}

void tst_editorplaces::nextPlace_data()
{
    QTest::addColumn<QRect>("room");
    QTest::addColumn<std::optional<QPoint>>("last");
    QTest::addColumn<QPoint>("next");
    // Tools on the left: the room's columns are 15 to 25 (x 300 to 500), 11 rows (y 0 to 200).
    const QRect right(300, 0, 700, 600);
    QTest::newRow("first: the room's top left") << right << std::optional<QPoint>() << QPoint(300, 0);
    QTest::newRow("a step down and right") << right << std::optional(QPoint(300, 0)) << QPoint(320, 20);
    QTest::newRow("bottom right reached: next diagonal along the top")
        << right << std::optional(QPoint(500, 200)) << QPoint(320, 0);
    QTest::newRow("top diagonals done: down the room's left edge")
        << right << std::optional(QPoint(500, 0)) << QPoint(300, 20);
    QTest::newRow("the room done: the columns left of it") << right << std::optional(QPoint(300, 200)) << QPoint(0, 0);
    QTest::newRow("everything done: the room again") << right << std::optional(QPoint(0, 200)) << QPoint(300, 0);
    QTest::newRow("off the grid: from the nearest place") << right << std::optional(QPoint(307, 13)) << QPoint(320, 40);
    // Tools on the right: the room's columns are 0 to 10, those right of it come next.
    QTest::newRow("the room done: the columns right of it")
        << QRect(0, 0, 700, 600) << std::optional(QPoint(0, 200)) << QPoint(220, 0);
    QTest::newRow("a room edge between steps") << QRect(310, 0, 690, 600) << std::optional<QPoint>() << QPoint(310, 0);
}

void tst_editorplaces::nextPlace()
{
    QFETCH(QRect, room);
    QFETCH(std::optional<QPoint>, last);
    QFETCH(QPoint, next);
    QCOMPARE(nextCascadePlace(area, room, size, step, last), next);
}

void tst_editorplaces::everyPlaceOnceBeforeAnyComesBack_data()
{
    QTest::addColumn<QRect>("room");
    QTest::addColumn<QSize>("window");
    QTest::newRow("room on the right") << QRect(300, 0, 700, 600) << size;
    QTest::newRow("room on the left") << QRect(0, 0, 650, 600) << size;
    QTest::newRow("room in the middle") << QRect(130, 0, 600, 600) << size;
    QTest::newRow("the whole area") << area << size;
    QTest::newRow("as large as the area") << area << area.size();
}

// From the first place on, every place of the grid comes once, inside the area, before
// the first comes back; the room's places come first.
void tst_editorplaces::everyPlaceOnceBeforeAnyComesBack()
{
    QFETCH(QRect, room);
    QFETCH(QSize, window);
    QSet<QPoint> seen;
    std::optional<QPoint> last;
    bool leftTheRoom = false;
    for (;;) {
        const QPoint p = nextCascadePlace(area, room, window, step, last);
        if (seen.contains(p))
            break;
        QVERIFY(area.contains(QRect(p, window)));
        const bool inRoom = room.contains(QRect(p, window));
        QVERIFY(!(inRoom && leftTheRoom));
        leftTheRoom = leftTheRoom || !inRoom;
        seen.insert(p);
        last = p;
    }
    QCOMPARE(nextCascadePlace(area, room, window, step, last), nextCascadePlace(area, room, window, step, {}));
    const int columns = (area.width() - room.left() % step - window.width()) / step + 1;
    const int rows = (area.height() - window.height()) / step + 1;
    QCOMPARE(seen.size(), columns * rows);
}

void tst_editorplaces::tile_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QRect>>("places");
    const QRect room(100, 0, 1000, 600);
    QTest::newRow("one: the whole room") << 1 << QList<QRect>{room};
    QTest::newRow("four: two by two")
        << 4 << QList<QRect>{{100, 0, 500, 300}, {600, 0, 500, 300}, {100, 300, 500, 300}, {600, 300, 500, 300}};
    QTest::newRow("three: the last row's window takes its width")
        << 3 << QList<QRect>{{100, 0, 500, 300}, {600, 0, 500, 300}, {100, 300, 1000, 300}};
    QTest::newRow("too many: the minimum size, spread over the room")
        << 30 << QList<QRect>{};   // checked below by their properties
}

void tst_editorplaces::tile()
{
    QFETCH(int, count);
    QFETCH(QList<QRect>, places);
    const QRect room(100, 0, 1000, 600);
    const QSize minimum(212, 123);
    const QList<QRect> tiled = editorPlaces::tile(room, count, minimum);
    QCOMPARE(tiled.size(), count);
    if (!places.isEmpty())
        QCOMPARE(tiled, places);
    QSet<QPoint> corners;
    for (const QRect &r : tiled) {
        QVERIFY(room.contains(r));
        QVERIFY(r.width() >= minimum.width() && r.height() >= minimum.height());
        corners.insert(r.topLeft());
    }
    QCOMPARE(corners.size(), count);
}

PAGEKILN_TEST_MAIN(tst_editorplaces)
#include "tst_editorplaces.moc"
