#include "app/basSystem.h"
#include "common/Contrast.h"
#include "editor/frmChild1.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tree/TreeView.h"
#include "tree/VScrollBar.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

using namespace basSystem;

class tst_treewindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void designedLayout();
    void storedGeometryAfterTheDesignedSize();
    void resize_data();
    void resize();
    void heightBelowTheMinimumSnapsBack();
    void closeRecordsGeometryAndVisibility_data();
    void closeRecordsGeometryAndVisibility();
    void dragToPointer();
    void dragOutOfRangeCancels_data();
    void dragOutOfRangeCancels();
    void pressAndReleaseWithoutMoving();
    void realMouseOnTheSplitter();
    void dragBelow120KeepsTitleWidth();
    void scrollRedrawsFromTheValue();
    void drawSetsTheScrollMaximum();
    void maxPullingTheValueDownRedraws();
    void quietResetDrawsNothing();
    void titleClickShowsTheEditor();
    void clicksThroughThePicture();
    void paintsGreyBarsOnlyInside();
    void labelsReadOnEveryPalette_data();
    void labelsReadOnEveryPalette();
};

namespace {
void setStoredTreeGeometry(int width, int height, int top = 0, int left = 0)
{
    gTreeWinWidth = width;
    gTreeWinHeight = height;
    gTreeWinTop = top;
    gTreeWinLeft = left;
}

// A tree window at its designed size with `n` pages of `links` links, drawn from page 1.
frmTree *treeWithPages(TestEnv &env, int n, int links)
{
    setStoredTreeGeometry(3210, 8430);
    auto *tree = new frmTree(env.area());
    for (int i = 1; i <= n; ++i) {
        PageRecord p;
        p.Title = i == 2 ? QString() : QStringLiteral("Page %1").arg(i);
        p.FileName = QStringLiteral("p%1.htm").arg(i);
        p.Links = QStringList{QString()};
        for (int j = 1; j <= links; ++j)
            p.Links << QStringLiteral("link%1.htm").arg(j);
        addPage(p, new frmChild1());
    }
    tree->DrawTree(1);
    return tree;
}

void sendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QPoint pixelsOf(qint64 xTwips, qint64 yTwips)
{
    return QPoint(twipsToPixelsX(double(xTwips)), twipsToPixelsY(double(yTwips)));
}
}   // namespace

void tst_treewindow::designedLayout()
{
    TestEnv env;
    setStoredTreeGeometry(3210, 8430);
    auto *tree = new frmTree(env.area());
    QCOMPARE(tree->Width(), 3210);
    QCOMPARE(tree->Height(), 8430);
    QCOMPARE(tree->caption(), QStringLiteral("新規作成"));
    QCOMPARE(tree->picTreRect(), (TwipRect{0, 420, 2775, 7575}));
    QCOMPARE(tree->scrTreRect(), (TwipRect{2790, 420, 255, 7605}));
    QCOMPARE(tree->cmdSepRect(), (TwipRect{780, -30, 75, 7575}));
    QCOMPARE(tree->scrTre()->Min(), 1);
    QCOMPARE(tree->scrTre()->Max(), 1);
    QCOMPARE(tree->cmdSep()->parentWidget(), tree->picTre());
    QCOMPARE(tree->cmdSep()->cursor().shape(), Qt::SizeHorCursor);
    QCOMPARE(tree->picTre()->geometry(), toPixels(TwipRect{0, 420, 2775, 7575}));
}

void tst_treewindow::storedGeometryAfterTheDesignedSize()
{
    TestEnv env;
    setStoredTreeGeometry(4005, 5010, 300, 450);
    auto *tree = new frmTree(env.area());
    QCOMPARE(tree->Width(), 4005);
    QCOMPARE(tree->Height(), 5010);
    QCOMPARE(tree->Top(), 300);
    QCOMPARE(tree->Left(), 450);
    QCOMPARE(tree->picTreRect(), (TwipRect{0, 420, 4005 - 435, 5010 - 855}));
    QCOMPARE(tree->scrTreRect(), (TwipRect{4005 - 420, 420, 255, 5010 - 825}));
    QCOMPARE(tree->cmdSepRect(), (TwipRect{780, -30, 75, 5010 - 855}));
}

void tst_treewindow::resize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("1000 larger each way") << 4210 << 9430;
    QTest::newRow("smaller") << 2000 << 3000;
    QTest::newRow("at the minimum height") << 3210 << 1000;
    QTest::newRow("narrower than the area") << 300 << 8430;
}

void tst_treewindow::resize()
{
    QFETCH(int, width);
    QFETCH(int, height);
    TestEnv env;
    setStoredTreeGeometry(3210, 8430);
    auto *tree = new frmTree(env.area());
    tree->setWidth(width);
    tree->setHeight(height);
    QCOMPARE(tree->picTreRect(), (TwipRect{0, 420, width - 435, height - 855}));
    QCOMPARE(tree->scrTreRect(), (TwipRect{width - 420, 420, 255, height - 825}));
    QCOMPARE(tree->cmdSepRect(), (TwipRect{780, -30, 75, height - 855}));
}

void tst_treewindow::heightBelowTheMinimumSnapsBack()
{
    TestEnv env;
    setStoredTreeGeometry(3210, 8430);
    auto *tree = new frmTree(env.area());
    tree->setHeight(900);
    QCOMPARE(tree->Height(), 1000);
    QCOMPARE(tree->picTreRect(), (TwipRect{0, 420, 2775, 7575}));   // laid out as before
    tree->setWidth(3300);                                           // the next change works from the last layout
    QCOMPARE(tree->picTreRect(), (TwipRect{0, 420, 2865, 145}));
    QCOMPARE(tree->scrTreRect(), (TwipRect{2880, 420, 255, 175}));
    QCOMPARE(tree->cmdSepRect().height, 145);
}

void tst_treewindow::closeRecordsGeometryAndVisibility_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("visible");
    QTest::newRow("close box") << int(vbFormControlMenu) << 0;
    QTest::newRow("program code") << int(vbFormCode) << 0;
    QTest::newRow("frame closing") << int(vbFormMDIForm) << -1;
    QTest::newRow("session ending") << int(vbAppWindows) << -1;
}

void tst_treewindow::closeRecordsGeometryAndVisibility()
{
    QFETCH(int, reason);
    QFETCH(int, visible);
    TestEnv env;
    setStoredTreeGeometry(3210, 8430, 150, 300);
    auto *tree = new frmTree(env.area());
    tree->Show();
    QCOMPARE(gTreeWinVisible, -1);   // activation records it as shown
    tree->setWidth(3600);
    tree->setHeight(6000);
    QVERIFY(tree->Unload(reason));
    QCOMPARE(gTreeWinWidth, 3600);
    QCOMPARE(gTreeWinHeight, 6000);
    QCOMPARE(gTreeWinTop, 150);
    QCOMPARE(gTreeWinLeft, 300);
    QCOMPARE(gTreeWinVisible, visible);
}

void tst_treewindow::dragToPointer()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 2, 1);
    tree->cmdSep_MouseDown(1, 0, 10, 100);
    tree->cmdSep_MouseMove(1, 0, 1500 - 780, 100);
    QCOMPARE(tree->cmdSepRect().left, 1500);
    QCOMPARE(tree->tree().lblHTML(1)->width, 1380);
    QCOMPARE(tree->tree().lblLink(201)->left, 1635);
    tree->cmdSep_MouseMove(1, 0, -200, 100);
    QCOMPARE(tree->cmdSepRect().left, 1300);
    tree->cmdSep_MouseUp(1, 0, 0, 100);
    QCOMPARE(tree->cmdSepRect().left, 1300);
    QCOMPARE(tree->tree().lblLink(100)->left, 1435);
    QCOMPARE(tree->tree().lblHTML(0)->width, 1180);   // the templates follow too
    QCOMPARE(tree->tree().lblLink(0)->left, 1435);
    tree->cmdSep_MouseMove(1, 0, 500, 100);   // released: moves do nothing
    QCOMPARE(tree->cmdSepRect().left, 1300);
}

void tst_treewindow::dragOutOfRangeCancels_data()
{
    QTest::addColumn<int>("x");   // relative to the splitter, which stands at 1000
    QTest::newRow("right of width - 60") << 2775 - 60 - 1000 + 1;
    QTest::newRow("left of the picture") << -1001;
}

void tst_treewindow::dragOutOfRangeCancels()
{
    QFETCH(int, x);
    TestEnv env;
    frmTree *tree = treeWithPages(env, 2, 1);
    tree->cmdSep_MouseDown(1, 0, 220, 0);
    tree->cmdSep_MouseMove(1, 0, 220, 0);
    tree->cmdSep_MouseUp(1, 0, 0, 0);
    QCOMPARE(tree->cmdSepRect().left, 1000);

    tree->cmdSep_MouseDown(1, 0, 0, 0);
    tree->cmdSep_MouseMove(1, 0, 500, 0);
    QCOMPARE(tree->cmdSepRect().left, 1500);
    tree->cmdSep_MouseMove(1, 0, x - 500, 0);
    QCOMPARE(tree->cmdSepRect().left, 1000);
    QCOMPARE(tree->tree().lblHTML(2)->width, 880);
    QCOMPARE(tree->tree().lblLink(200)->left, 1135);
    tree->cmdSep_MouseMove(1, 0, 100, 0);   // the rest of that press is ignored
    tree->cmdSep_MouseUp(1, 0, 100, 0);
    QCOMPARE(tree->cmdSepRect().left, 1000);

    // The edge of the range itself is allowed.
    tree->cmdSep_MouseDown(1, 0, 0, 0);
    tree->cmdSep_MouseMove(1, 0, 2775 - 60 - 1000, 0);
    QCOMPARE(tree->cmdSepRect().left, 2715);
}

void tst_treewindow::pressAndReleaseWithoutMoving()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 1, 1);
    tree->cmdSep_MouseDown(1, 0, 30, 50);
    tree->cmdSep_MouseUp(1, 0, 30, 50);
    QCOMPARE(tree->cmdSepRect().left, 810);
    QCOMPARE(tree->tree().lblHTML(1)->width, 690);
    QCOMPARE(tree->tree().lblLink(101)->left, 945);
    tree->cmdSep_MouseUp(1, 0, 30, 50);   // no drag: nothing
    QCOMPARE(tree->cmdSepRect().left, 810);
}

void tst_treewindow::realMouseOnTheSplitter()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 1, 1);
    QPushButton *sep = tree->cmdSep();
    sendMouse(sep, QEvent::MouseButtonPress, QPoint(2, 10), Qt::LeftButton, Qt::LeftButton);
    sendMouse(sep, QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(tree->cmdSepRect().left, 780 + 150);
    QCOMPARE(sep->geometry().left(), twipsToPixelsX(930));
    sendMouse(sep, QEvent::MouseButtonRelease, QPoint(2, 10), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(tree->cmdSepRect().left, 930 + 30);
}

void tst_treewindow::dragBelow120KeepsTitleWidth()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 2, 1);
    tree->cmdSep_MouseDown(1, 0, 0, 0);
    tree->cmdSep_MouseMove(1, 0, 500 - 780, 0);
    tree->cmdSep_MouseMove(1, 0, 100 - 500, 0);
    QCOMPARE(tree->cmdSepRect().left, 100);
    QCOMPARE(tree->tree().lblHTML(1)->width, 380);
    QCOMPARE(tree->tree().lblLink(101)->left, 235);
    tree->cmdSep_MouseUp(1, 0, 0, 0);
    tree->DrawTree(1);   // new title labels take the template's last width
    QCOMPARE(tree->tree().lblHTML(2)->width, 380);
    QCOMPARE(tree->tree().lblLink(200)->left, 235);
}

void tst_treewindow::scrollRedrawsFromTheValue()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 5, 2);
    QCOMPARE(tree->scrTre()->Max(), 5);
    tree->scrTre()->setValue(3);
    QCOMPARE(tree->tree().startPage(), 3);
    QCOMPARE(tree->tree().lblHTML(3)->top, 60);
    QVERIFY(!tree->tree().lblHTML(2));
    QCOMPARE(tree->tree().titleCount(), 3);
    QCOMPARE(gPageTable.at(5).TreeTop, 60 + 300 * 6);
    QCOMPARE(gPageTable.at(1).TreeTop, 60);   // kept from the first drawing

    // A redraw from page 1 leaves the bar's value; the next step draws from the new value.
    tree->DrawTree(1);
    QCOMPARE(tree->scrTre()->Value(), 3);
    tree->scrTre()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(tree->scrTre()->Value(), 4);
    QCOMPARE(tree->tree().startPage(), 4);
    tree->scrTre()->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(tree->tree().startPage(), 3);

    // A dragged thumb draws nothing until released.
    QSignalSpy scrolled(tree->scrTre(), &VScrollBar::Scroll);
    tree->scrTre()->setSliderDown(true);
    tree->scrTre()->setSliderPosition(5);
    QCOMPARE(scrolled.size(), 1);
    QCOMPARE(tree->tree().startPage(), 3);
    tree->scrTre()->setSliderDown(false);
    QCOMPARE(tree->scrTre()->Value(), 5);
    QCOMPARE(tree->tree().startPage(), 5);
}

void tst_treewindow::drawSetsTheScrollMaximum()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 0, 0);
    QCOMPARE(tree->scrTre()->Max(), 0);
    QCOMPARE(tree->scrTre()->Min(), 1);
    QCOMPARE(tree->scrTre()->Value(), 1);
    QCOMPARE(tree->tree().rowCount(), 0);
    tree->scrTre()->setValue(0);   // a value of 0 draws nothing
    QCOMPARE(tree->scrTre()->Value(), 0);
    QCOMPARE(tree->tree().rowCount(), 0);
}

void tst_treewindow::maxPullingTheValueDownRedraws()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 5, 1);
    tree->scrTre()->setValue(5);
    QCOMPARE(tree->tree().startPage(), 5);
    tree->scrTre()->setMax(3);
    QCOMPARE(tree->scrTre()->Value(), 3);
    QCOMPARE(tree->tree().startPage(), 3);
}

void tst_treewindow::quietResetDrawsNothing()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 5, 1);
    tree->scrTre()->setValue(3);
    tree->clearTreeLabels();
    tree->scrTre()->resetQuietly(1, 1, 1);
    QCOMPARE(tree->scrTre()->Value(), 1);
    QCOMPARE(tree->tree().rowCount(), 0);
}

void tst_treewindow::titleClickShowsTheEditor()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 3, 1);
    frmChild1 *editor = gPageEditors.at(2);
    QVERIFY(!editor->Visible());
    tree->lblHTML_Click(2);
    QVERIFY(editor->Visible());
    QCOMPARE(env.area()->activeSubWindow(), editor->subWindow());
    QVERIFY(!gPageEditors.at(1)->Visible());
    QVERIFY(!gPageEditors.at(3)->Visible());
}

void tst_treewindow::clicksThroughThePicture()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 3, 1);
    tree->Show();
    TreeView *pic = tree->picTre();
    // Page 3's title stands on row 4; a click on page 1's link (row 1) or file name does nothing.
    QTest::mouseClick(pic, Qt::LeftButton, {}, pixelsOf(200, 60 + 300 * 4 + 100));
    QVERIFY(gPageEditors.at(3)->Visible());
    QTest::mouseClick(pic, Qt::LeftButton, {}, pixelsOf(930, 60 + 300 * 1 + 100));
    QTest::mouseClick(pic, Qt::LeftButton, {}, pixelsOf(930, 60 + 100));
    QTest::mouseClick(pic, Qt::LeftButton, {}, pixelsOf(200, 60 + 300 * 1 + 100));   // left of a link row
    QVERIFY(!gPageEditors.at(1)->Visible());
    QVERIFY(!gPageEditors.at(2)->Visible());
    QTest::mouseClick(pic, Qt::LeftButton, {}, pixelsOf(200, 60 + 300 * 2 + 100));   // an untitled page's bar
    QVERIFY(gPageEditors.at(2)->Visible());
}

void tst_treewindow::paintsGreyBarsOnlyInside()
{
    TestEnv env;
    frmTree *tree = treeWithPages(env, 40, 0);   // page 2 is untitled: a bare grey bar
    tree->Show();
    const QImage image = tree->picTre()->grab().toImage();
    const QColor grey(224, 224, 224);
    QCOMPARE(image.pixelColor(pixelsOf(400, 60 + 300 + 120)), grey);
    QVERIFY(image.pixelColor(pixelsOf(400, 60 + 300 + 270)) != grey);   // the gap between rows
    QVERIFY(image.pixelColor(pixelsOf(750, 60 + 300 + 120)) != grey);   // past the bar, which ends at 720
    QCOMPARE(image.height(), twipsToPixelsY(7575));                     // rows below are cut off
}

void tst_treewindow::labelsReadOnEveryPalette_data()
{
    QTest::addColumn<QColor>("window");
    QTest::addColumn<bool>("designedGrey");
    QTest::newRow("light") << QColor(0xef, 0xef, 0xef) << true;
    QTest::newRow("dark") << QColor(0x35, 0x35, 0x35) << false;
    QTest::newRow("black") << QColor(Qt::black) << false;
}

void tst_treewindow::labelsReadOnEveryPalette()
{
    QFETCH(QColor, window);
    QFETCH(bool, designedGrey);
    TestEnv env;
    frmTree *tree = treeWithPages(env, 3, 0);
    const QPalette palette(window);   // text, window and the rest made to go with it
    tree->picTre()->setPalette(palette);
    tree->Show();
    const QImage image = tree->picTre()->grab().toImage();
    const QColor bar = image.pixelColor(pixelsOf(400, 60 + 300 + 120));   // page 2's bar has no title
    const QColor text = palette.color(QPalette::WindowText);
    QCOMPARE(bar == QColor(224, 224, 224), designedGrey);
    QVERIFY(contrastRatio(bar, text) >= readableContrast);
    QVERIFY(bar != palette.color(QPalette::Window));   // the bar still stands out
    QVERIFY(contrastRatio(treeColours(palette).broken, palette.color(QPalette::Window)) >= readableContrast);
}

PAGEKILN_TEST_MAIN(tst_treewindow)
#include "tst_treewindow.moc"
