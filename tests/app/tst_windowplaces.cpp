// Where the windows of the frame go: every editor on a place of its own beside the tool
// windows, back where it was when shown again, the window menu's arrangements moving the
// editors only, and the tool windows with a close box, a focus key and a usable size.
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/EditorLayout.h"
#include "editor/frmChild1.h"
#include "settings/Settings.h"
#include "settings/StoredLayout.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyleOptionTitleBar>
#include <QToolButton>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
// The frame on a 1280 x 800 screen's worth of room, both tool windows shown as the settings
// say, and a site of `pages` pages, the first `open` of them marked open.
struct Frame {
    TestEnv env;
    mdiMain frame;
    QString site;

    bool start(int pages, int open)
    {
        env.writeSettings(-1, -1);
        QStringList entries;
        for (int i = 1; i <= pages; ++i) {
            env.writeCp932(u"a/p%1.htm"_s.arg(i), u"<TITLE>a %1</TITLE>\r\n"_s.arg(i));
            entries << (i <= open ? u"-1*"_s : u"0*"_s) + env.path(u"a/"_s) + u"*p%1.htm"_s.arg(i);
        }
        site = env.writeCp932(
            u"a/site.ksd"_s, definitionHeader() + definitionList(u"%1"_s.arg(pages, 3, 10, QLatin1Char('0')), entries));
        if (!frame.MDIForm_Load())
            return false;
        frame.resize(1280, 760);
        frame.show();
        frame.activateWindow();
        return QTest::qWaitForWindowActive(&frame) && frame.openDefinition(site);
    }
    QRect visible() const { return frame.area()->viewport()->rect(); }
    static QRect placeOf(const KForm *form) { return form->normalPlacePixels().value_or(QRect()); }
};

QSize usablePixels()
{
    return QSize(twipsToPixelsX(editorLayout::usableWidth), twipsToPixelsY(editorLayout::usableHeight));
}

// The close box in the title bar of `sub`, where its style draws it; empty when it has none.
QRect closeBoxOf(QMdiSubWindow *sub)
{
    QStyleOptionTitleBar option;
    option.initFrom(sub);
    option.subControls = QStyle::SC_All;
    option.titleBarFlags = sub->windowFlags();
    option.titleBarState = int(sub->windowState());
    option.rect = QRect(0, 0, sub->width(), sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, sub));
    return sub->style()->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarCloseButton, sub);
}
}   // namespace

class tst_windowplaces : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void thirtyEditorsOnThirtyPlaces();
    void editorsBesideATreeOnTheRight();
    void editorComesBackWhereItWas();
    void arrangementsMoveEditorsOnly_data();
    void arrangementsMoveEditorsOnly();
    void toolWindowsAsWideAsTheirButtons();
    void toolWindowsCloseBoxAndFocusKey_data();
    void toolWindowsCloseBoxAndFocusKey();
};

void tst_windowplaces::thirtyEditorsOnThirtyPlaces()
{
    Frame f;
    QVERIFY(f.start(30, 30));
    QSet<QPoint> places;
    for (int i = 1; i <= 30; ++i) {
        const QRect placed = Frame::placeOf(gPageEditors.at(i));
        QVERIFY2(f.visible().contains(placed), qPrintable(u"editor %1 outside the area"_s.arg(i)));
        places.insert(placed.topLeft());
    }
    QCOMPARE(places.size(), 30);
}

void tst_windowplaces::editorsBesideATreeOnTheRight()
{
    Frame f;
    QVERIFY(f.start(4, 0));
    frmTree *tree = f.frame.treeWindow();
    tree->setLeft(pixelsToTwipsX(f.visible().width() - tree->subWindow()->width()));
    QSet<QPoint> places;
    for (int i = 1; i <= 4; ++i) {
        tree->lblHTML_Click(i);
        const QRect placed = Frame::placeOf(gPageEditors.at(i));
        QVERIFY(f.visible().contains(placed));
        QVERIFY(!placed.intersects(tree->subWindow()->geometry()));
        QVERIFY(!placed.intersects(f.frame.tagWindow()->subWindow()->geometry()));
        places.insert(placed.topLeft());
    }
    QCOMPARE(places.size(), 4);
}

// Closed with Ctrl+W and shown again, or made anew when the site is opened again, a page's
// editor comes back at the place and size it had.
void tst_windowplaces::editorComesBackWhereItWas()
{
    Frame f;
    QVERIFY(f.start(2, 2));
    const QRect moved(60, 40, 640, 420);
    gPageEditors.at(1)->subWindow()->setGeometry(moved);   // as the user drags it
    gPageEditors.at(1)->SetFocus();
    QTest::keySequence(QApplication::focusWidget(), QKeySequence(u"Ctrl+W"_s));
    QVERIFY(!gPageEditors.at(1)->Visible());
    f.frame.treeWindow()->lblHTML_Click(1);
    QCOMPARE(Frame::placeOf(gPageEditors.at(1)), moved);
    const QPointer<frmChild1> before = gPageEditors.at(1);
    QVERIFY(f.frame.openDefinition(f.site));
    QVERIFY(gPageEditors.at(1) != before && gPageEditors.at(1)->Visible());
    QCOMPARE(Frame::placeOf(gPageEditors.at(1)), moved);
}

void tst_windowplaces::arrangementsMoveEditorsOnly_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("cascade") << u"重ねて表示"_s;
    QTest::newRow("tile") << u"並べて表示"_s;
}

// The tool windows (one made tiny by hand) stay as they are; the editors go into the room
// beside them, none smaller than usable; no size below the minimum reaches the settings.
void tst_windowplaces::arrangementsMoveEditorsOnly()
{
    QFETCH(QString, command);
    Frame f;
    QVERIFY(f.start(8, 8));
    f.frame.tagWindow()->setWidth(300);
    f.frame.tagWindow()->setHeight(900);
    const QRect tag = f.frame.tagWindow()->subWindow()->geometry();
    const QRect tree = f.frame.treeWindow()->subWindow()->geometry();
    gPageEditors.at(3)->SetFocus();
    menuItem(f.frame, u"ウィンドウ"_s, command)->trigger();
    QCOMPARE(f.frame.tagWindow()->subWindow()->geometry(), tag);
    QCOMPARE(f.frame.treeWindow()->subWindow()->geometry(), tree);
    QSet<QPoint> places;
    for (int i = 1; i <= 8; ++i) {
        const QRect placed = Frame::placeOf(gPageEditors.at(i));
        QVERIFY(f.visible().contains(placed));
        QVERIFY(!placed.intersects(tag) && !placed.intersects(tree));
        QVERIFY(placed.width() >= usablePixels().width() && placed.height() >= usablePixels().height());
        places.insert(placed.topLeft());
    }
    QCOMPARE(places.size(), 8);
    QCOMPARE(gActiveEditor, gPageEditors.at(3));   // the active editor stays active
    f.frame.closeFrame(vbFormMDIForm);
    QVERIFY(LoadSettings());
    QVERIFY(gTagWinWidth >= storedLayout::tagMinimum.width && gTagWinHeight >= storedLayout::tagMinimum.height);
    QVERIFY(gTreeWinWidth >= storedLayout::treeMinimum.width);
}

// Tiny sizes stored by an earlier version come back raised: every button of both tool
// windows shows whole.
void tst_windowplaces::toolWindowsAsWideAsTheirButtons()
{
    TestEnv env;
    QByteArray settings = TestEnv::read(env.writeSettings(-1, -1));
    env.write(u"pageKiln.INI"_s, settings.replace("TAG_W=2820", "TAG_W=120").replace("TRE_W=3210", "TRE_W=120"));
    mdiMain frame;
    QVERIFY(frame.MDIForm_Load());
    frame.resize(1280, 760);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    const frmTree *tree = frame.treeWindow();
    for (const QToolButton *button : tree->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly))
        QVERIFY(tree->rect().contains(button->geometry()));
    const frmTAG *tag = frame.tagWindow();
    const QPushButton *first = tag->cmdBase().at(1);
    QVERIFY(tag->picTag()->rect().contains(first->geometry()));
    QVERIFY(tag->rect().contains(QRect(first->mapTo(tag, QPoint()), first->size())));
}

void tst_windowplaces::toolWindowsCloseBoxAndFocusKey_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("focusCommand");
    QTest::addColumn<QKeySequence>("key");
    QTest::newRow("site tree") << u"サイトツリー"_s << u"サイトツリーへ移動"_s << QKeySequence(u"Alt+1"_s);
    QTest::newRow("tag list") << u"タグリスト"_s << u"タグリストへ移動"_s << QKeySequence(u"Alt+2"_s);
}

// The close box closes the tool window as unchecking it in the view menu does; its key
// brings it back with the focus in it.
void tst_windowplaces::toolWindowsCloseBoxAndFocusKey()
{
    QFETCH(QString, window);
    QFETCH(QString, focusCommand);
    QFETCH(QKeySequence, key);
    Frame f;
    QVERIFY(f.start(1, 1));
    const bool isTree = window == u"サイトツリー";
    auto form = [&]() -> KForm * {
        return isTree ? static_cast<KForm *>(f.frame.treeWindow()) : static_cast<KForm *>(f.frame.tagWindow());
    };
    const QPointer<KForm> before = form();
    QMdiSubWindow *sub = before->subWindow();
    const QRect closeBox = closeBoxOf(sub);
    QVERIFY(!closeBox.isEmpty());
    QTest::mouseMove(sub, closeBox.center());   // the window presses what the pointer is over
    QTest::mouseClick(sub, Qt::LeftButton, {}, closeBox.center());
    QTRY_VERIFY(!before || before->isUnloaded());
    QCOMPARE(isTree ? gTreeWinVisible : gTagWinVisible, 0);
    QVERIFY(!menuItem(f.frame, u"表示"_s, window)->isChecked());

    QAction *focus = menuItem(f.frame, u"表示"_s, focusCommand);
    QVERIFY(focus);
    QCOMPARE(focus->shortcut(), key);
    gPageEditors.at(1)->SetFocus();
    QTest::keySequence(QApplication::focusWidget(), key);
    QVERIFY(form() && form()->Visible());
    QVERIFY(form()->isAncestorOf(QApplication::focusWidget()));
    QVERIFY(menuItem(f.frame, u"表示"_s, window)->isChecked());
}

PAGEKILN_TEST_MAIN(tst_windowplaces)
#include "tst_windowplaces.moc"
