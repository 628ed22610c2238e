#include "common/WindowCover.h"
#include "support/TestMain.h"

#include <QtTest>

using windowCover::Sight;
using windowCover::Window;
Q_DECLARE_METATYPE(windowCover::Window)

namespace {
// A window whose frame is `frame` and whose contents lie inside it below a title bar.
Window window(int x, int y, int w, int h)
{
    const QRect frame(x, y, w, h);
    return Window{frame, QRegion(), frame.adjusted(4, 20, -4, -4)};
}
}   // namespace

class tst_windowcover : public QObject
{
    Q_OBJECT
private slots:
    void sights_data();
    void sights();
    void manyStackedWindows();
};

void tst_windowcover::sights_data()
{
    QTest::addColumn<QList<Window>>("topDown");
    QTest::addColumn<QList<Sight>>("sights");
    const QRect all(0, 0, 200, 100);
    QTest::newRow("one window") << QList<Window>{window(10, 10, 100, 50)} << QList<Sight>{Sight::Contents};
    QTest::newRow("exactly under another") << QList<Window>{window(10, 10, 100, 50), window(10, 10, 100, 50)}
                                           << QList<Sight>{Sight::Contents, Sight::Covered};
    QTest::newRow("only its title bar shows") << QList<Window>{window(10, 10, 100, 50), window(10, 6, 100, 54)}
                                              << QList<Sight>{Sight::Contents, Sight::FrameOnly};
    QTest::newRow("a strip of contents shows") << QList<Window>{window(20, 30, 100, 50), window(10, 10, 100, 50)}
                                               << QList<Sight>{Sight::Contents, Sight::Contents};
    QTest::newRow("covered by two together")
        << QList<Window>{window(0, 0, 60, 100), window(60, 0, 140, 100), window(20, 20, 100, 50)}
        << QList<Sight>{Sight::Contents, Sight::Contents, Sight::Covered};
    QTest::newRow("outside the visible area")
        << QList<Window>{window(300, 10, 100, 50)} << QList<Sight>{Sight::Covered};
    QTest::newRow("contents beyond the visible edge")
        << QList<Window>{window(150, 10, 100, 50), window(160, 20, 100, 50)}
        << QList<Sight>{Sight::Contents, Sight::Contents};
    QTest::newRow("minimised: a frame without contents")
        << QList<Window>{Window{QRect(0, 80, 50, 20), QRegion(), QRect()}, window(10, 10, 100, 50)}
        << QList<Sight>{Sight::FrameOnly, Sight::Contents};
    QTest::newRow("maximised covers all")
        << QList<Window>{Window{all, QRegion(), all.adjusted(0, 20, 0, 0)}, window(10, 10, 100, 50)}
        << QList<Sight>{Sight::Contents, Sight::Covered};
    // A frame with rounded corners leaves the corners of the window below it in sight.
    const QRegion rounded = QRegion(0, 0, 100, 50) - QRegion(0, 0, 2, 2);
    QTest::newRow("corner left uncovered")
        << QList<Window>{Window{QRect(10, 10, 100, 50), rounded, QRect(14, 30, 92, 26)}, window(10, 10, 100, 50)}
        << QList<Sight>{Sight::Contents, Sight::FrameOnly};
}

// A part of a window shows when it lies in the visible area and outside every window above
// it; a window's frame covers what lies below it, its title bar included.
void tst_windowcover::sights()
{
    QFETCH(QList<Window>, topDown);
    QFETCH(QList<Sight>, sights);
    QCOMPARE(windowCover::sights(topDown, QRect(0, 0, 200, 100)), sights);
}

// A cascade of four places, a thousand windows deep: only the top window of each place
// shows (its title bar's strip and left edge do).
void tst_windowcover::manyStackedWindows()
{
    QList<Window> topDown;
    for (int i = 999; i >= 0; --i)
        topDown << window(22 * (i % 4), 22 * (i % 4), 150, 60);
    const QList<Sight> sights = windowCover::sights(topDown, QRect(0, 0, 300, 200));
    QCOMPARE(sights.mid(0, 4), QList<Sight>(4, Sight::Contents));
    QCOMPARE(sights.count(Sight::Covered), 996);
}

PAGEKILN_TEST_MAIN(tst_windowcover)
#include "tst_windowcover.moc"
