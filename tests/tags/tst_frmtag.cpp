#include "app/basSystem.h"
#include "platform/Messages.h"
#include "app/mdiMain.h"
#include "common/TextHelpers.h"
#include "settings/Settings.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tags/TagDatabase.h"
#include "tags/frmTAG.h"

#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
const QString scrollMessage = u"まだスクロールしません。縦に伸ばしてね"_s;

// A database of `n` tags named t1, t2, ... that insert <t1>, <t2>, ...
QString numberedTags(int n)
{
    QString text;
    for (int i = 1; i <= n; ++i)
        text += u"t%1\t<t%1>\t\r\n"_s.arg(i);
    return text;
}

void storeGeometry(int height, int width, int top, int left)
{
    gTagWinHeight = height;
    gTagWinWidth = width;
    gTagWinTop = top;
    gTagWinLeft = left;
}

void storeDesignedGeometry()
{
    storeGeometry(frmTAG::designedHeight, frmTAG::designedWidth, 0, 0);
}

QList<QRect> buttonGeometries(const frmTAG &tag)
{
    QList<QRect> rects;
    tag.cmdBase().forEach([&](int, QPushButton *b) { rects << b->geometry(); });
    return rects;
}
}   // namespace

class tst_frmtag : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void designedWindow();
    void sixteenTagsAndTheirButtons();
    void buttonsFollowTheFileOnEveryLoad();
    void missingDatabaseGivesEmptyPaletteAndOneMessage();
    void storedGeometryAppliedAfterDesignedSize_data();
    void storedGeometryAppliedAfterDesignedSize();
    void resizeNumbers();
    void narrowWindowNeverGivesNegativeSizes();
    void scrollBarShowsMessageEachTime();
    void pressedArrowShowsMessageOnce();
    void activationMarksPaletteOpen();
    void closeRecordsGeometry_data();
    void closeRecordsGeometry();
    void nextStart_data();
    void nextStart();
};

void tst_frmtag::designedWindow()
{
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, QString());
    storeDesignedGeometry();
    frmTAG tag(env.area());

    QCOMPARE(tag.caption(), u"タグリスト"_s);
    QCOMPARE(tag.Height(), 8175);
    QCOMPARE(tag.Width(), 2820);
    QCOMPARE(tag.picTagRect(), (TwipRect{0, 30, 2355, 7695}));
    QCOMPARE(tag.scrTagRect(), (TwipRect{2400, 60, 255, 7665}));
    QCOMPARE(tag.picTag()->geometry(), toPixels(tag.picTagRect()));
    QCOMPARE(tag.scrTag()->geometry(), toPixels(tag.scrTagRect()));
    QCOMPARE(tag.scrTag()->minimum(), 0);
    QCOMPARE(tag.scrTag()->maximum(), 32767);

    // An empty database: only the hidden template, at the first button's place.
    QCOMPARE(tag.cmdBase().count(), 1);
    QPushButton *base = tag.cmdBase()[0];
    QCOMPARE(base->parentWidget(), tag.picTag());
    QVERIFY(base->isHidden());
    QCOMPARE(base->geometry(), toPixels(TwipRect{60, 60, 1515, 375}));
    QCOMPARE(gTagTable.size(), 1);
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_frmtag::sixteenTagsAndTheirButtons()
{
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, numberedTags(16));
    storeDesignedGeometry();
    frmTAG tag(env.area());

    QCOMPARE(gTagTable.size(), 17);
    QCOMPARE(tag.cmdBase().upperBound(), 16);
    for (int i = 1; i <= 16; ++i) {
        QPushButton *b = tag.cmdBase()[i];
        QVERIFY(b);
        const TwipRect r = frmTAG::buttonRect(i);
        QCOMPARE(r, (TwipRect{60, (i - 1) * 500 + 60, 1515, 375}));
        QCOMPARE(b->geometry(), toPixels(r));
        QCOMPARE(b->text(), u"t%1"_s.arg(i));
        QCOMPARE(b->parentWidget(), tag.picTag());
        QCOMPARE(b->font(), tag.cmdBase()[0]->font());
        QVERIFY(!b->isHidden());
    }
    // Fifteen fit the designed picture box; the sixteenth is cut off by it.
    const int pictureHeight = tag.picTagRect().height;
    QVERIFY(frmTAG::buttonRect(15).top + 375 <= pictureHeight);
    QCOMPARE(frmTAG::buttonRect(16).top, 7560);
    QVERIFY(frmTAG::buttonRect(16).top + 375 > pictureHeight);
}

void tst_frmtag::buttonsFollowTheFileOnEveryLoad()
{
    TestEnv env;
    storeDesignedGeometry();
    env.writeCp932(tagDatabaseFileName, numberedTags(5));
    {
        frmTAG first(env.area());
        QCOMPARE(first.cmdBase().upperBound(), 5);
    }
    env.writeCp932(tagDatabaseFileName, u"\r\nonly\t<O>\t\r\n"_s);
    frmTAG second(env.area());
    QCOMPARE(gTagTable.size(), 2);
    QCOMPARE(gTagTable[1].TagText, u"<O>"_s);
    QCOMPARE(second.cmdBase().upperBound(), 1);
    QCOMPARE(second.cmdBase()[1]->text(), u"only"_s);
}

void tst_frmtag::missingDatabaseGivesEmptyPaletteAndOneMessage()
{
    TestEnv env;
    storeDesignedGeometry();
    gTagTable.append(TagRecord{u"stale"_s, u"<S>"_s, {QString()}});
    frmTAG tag(env.area());

    QCOMPARE(gTagTable.size(), 1);
    QCOMPARE(tag.cmdBase().count(), 1);
    QCOMPARE(env.platform.messages.size(), 1);
    const ScriptedPlatform::Message m = env.platform.messages.first();
    QCOMPARE(m.prompt,
             u"タグデータベースの読み込みに失敗しました。\n"_s + env.path(tagDatabaseFileName) + u"\nfile not found"_s);
    QCOMPARE(m.title, messageTitle);
}

void tst_frmtag::storedGeometryAppliedAfterDesignedSize_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expectedHeight");
    QTest::addColumn<TwipRect>("picTag");
    QTest::addColumn<TwipRect>("scrTag");

    QTest::newRow("designed") << 8175 << 2820 << 8175 << TwipRect{0, 30, 2355, 7695} << TwipRect{2400, 60, 255, 7665};
    QTest::newRow("smaller and wider") << 5000 << 3500 << 5000 << TwipRect{0, 30, 3035, 4520}
                                       << TwipRect{3080, 60, 255, 4490};
    QTest::newRow("height raised to 1000")
        << 300 << 2820 << 1000 << TwipRect{0, 30, 2355, 520} << TwipRect{2400, 60, 255, 490};
}

void tst_frmtag::storedGeometryAppliedAfterDesignedSize()
{
    QFETCH(int, height);
    QFETCH(int, width);
    QFETCH(int, expectedHeight);
    QFETCH(TwipRect, picTag);
    QFETCH(TwipRect, scrTag);
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, numberedTags(3));
    storeGeometry(height, width, 300, 600);
    frmTAG tag(env.area());

    QCOMPARE(tag.Height(), expectedHeight);
    QCOMPARE(tag.Width(), width);
    QCOMPARE(tag.Top(), 300);
    QCOMPARE(tag.Left(), 600);
    QCOMPARE(tag.picTagRect(), picTag);
    QCOMPARE(tag.scrTagRect(), scrTag);
    QCOMPARE(frmTAG::buttonRect(3), (TwipRect{60, 1060, 1515, 375}));
    QCOMPARE(tag.cmdBase()[3]->geometry(), toPixels(frmTAG::buttonRect(3)));
}

void tst_frmtag::resizeNumbers()
{
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, numberedTags(16));
    storeDesignedGeometry();
    frmTAG tag(env.area());
    tag.Show();
    const QList<QRect> buttons = buttonGeometries(tag);

    tag.setWidth(3120);
    QCOMPARE(tag.picTagRect(), (TwipRect{0, 30, 2655, 7695}));
    QCOMPARE(tag.scrTagRect(), (TwipRect{2700, 60, 255, 7665}));

    tag.setHeight(9175);
    QCOMPARE(tag.picTagRect(), (TwipRect{0, 30, 2655, 8695}));
    QCOMPARE(tag.scrTagRect(), (TwipRect{2700, 60, 255, 8665}));
    QCOMPARE(tag.picTag()->geometry(), toPixels(tag.picTagRect()));
    QCOMPARE(tag.scrTag()->geometry(), toPixels(tag.scrTagRect()));

    // Below the minimum: snapped back to 1000 without a layout.
    tag.setHeight(400);
    QCOMPARE(tag.Height(), 1000);
    QCOMPARE(tag.picTagRect(), (TwipRect{0, 30, 2655, 8695}));

    // The next layout measures from the last laid-out size.
    tag.setHeight(1000);
    QCOMPARE(tag.picTagRect(), (TwipRect{0, 30, 2655, 520}));
    QCOMPARE(tag.scrTagRect(), (TwipRect{2700, 60, 255, 490}));

    tag.setHeight(8175);
    tag.setWidth(2820);
    QCOMPARE(tag.picTagRect(), (TwipRect{0, 30, 2355, 7695}));
    QCOMPARE(tag.scrTagRect(), (TwipRect{2400, 60, 255, 7665}));
    QCOMPARE(buttonGeometries(tag), buttons);
}

void tst_frmtag::narrowWindowNeverGivesNegativeSizes()
{
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, numberedTags(1));
    storeDesignedGeometry();
    frmTAG tag(env.area());

    tag.setWidth(300);
    QCOMPARE(tag.picTagRect().width, -165);
    QCOMPARE(tag.picTag()->width(), 0);
    tag.setWidth(2820);
    QCOMPARE(tag.picTagRect(), (TwipRect{0, 30, 2355, 7695}));
    QCOMPARE(tag.picTag()->geometry(), toPixels(tag.picTagRect()));
}

void tst_frmtag::scrollBarShowsMessageEachTime()
{
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, numberedTags(3));
    storeDesignedGeometry();
    frmTAG tag(env.area());
    tag.Show();
    const QList<QRect> buttons = buttonGeometries(tag);

    tag.scrTag()->setValue(10);
    tag.scrTag()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    tag.scrTag()->triggerAction(QAbstractSlider::SliderPageStepSub);

    QCOMPARE(env.platform.messageTexts(), QStringList(3, scrollMessage));
    for (const ScriptedPlatform::Message &m : std::as_const(env.platform.messages))
        QCOMPARE(m.title, appTitle);
    QCOMPARE(tag.scrTag()->value(), 10);
    QCOMPARE(buttonGeometries(tag), buttons);
    QCOMPARE(tag.picTagRect(), (TwipRect{0, 30, 2355, 7695}));
}

void tst_frmtag::pressedArrowShowsMessageOnce()
{
    // The message box takes the mouse release; the arrow must not go on repeating.
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, QString());
    storeDesignedGeometry();
    frmTAG tag(env.area());
    tag.Show();
    QScrollBar *bar = tag.scrTag();
    QVERIFY(QTest::qWaitForWindowExposed(bar));

    QSignalSpy repeats(bar, &QAbstractSlider::actionTriggered);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 3));
    QCOMPARE(env.platform.messages.size(), 1);
    repeats.clear();
    // The press has ended: no auto-repeat (which starts after half a second) follows.
    QVERIFY(!repeats.wait(800));
    QCOMPARE(env.platform.messages.size(), 1);
    QCOMPARE(bar->value(), 1);
}

void tst_frmtag::activationMarksPaletteOpen()
{
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, QString());
    storeDesignedGeometry();
    frmTAG tag(env.area());
    QCOMPARE(gTagWinVisible, 0);
    tag.Show();
    QTRY_COMPARE(gTagWinVisible, -1);
}

void tst_frmtag::closeRecordsGeometry_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("visibleAfter");
    QTest::newRow("close box") << int(vbFormControlMenu) << 0;
    QTest::newRow("program code") << int(vbFormCode) << 0;
    QTest::newRow("session ends") << int(vbAppWindows) << -1;
    QTest::newRow("task manager") << int(vbAppTaskManager) << -1;
    QTest::newRow("frame closing") << int(vbFormMDIForm) << -1;
}

void tst_frmtag::closeRecordsGeometry()
{
    QFETCH(int, reason);
    QFETCH(int, visibleAfter);
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, numberedTags(2));
    storeGeometry(6000, 3000, 450, 900);
    QPointer<frmTAG> tag = new frmTAG(env.area());
    tag->Show();
    QTRY_COMPARE(gTagWinVisible, -1);
    tag->setHeight(7005);
    tag->setWidth(3315);
    tag->setTop(150);
    tag->setLeft(1200);
    storeGeometry(0, 0, 0, 0);

    QVERIFY(tag->Unload(reason));
    QCOMPARE(gTagWinHeight, 7005);
    QCOMPARE(gTagWinWidth, 3315);
    QCOMPARE(gTagWinTop, 150);
    QCOMPARE(gTagWinLeft, 1200);
    QCOMPARE(gTagWinVisible, visibleAfter);
    // The window and its buttons go; the tag table stays.
    QTRY_VERIFY(tag.isNull());
    QCOMPARE(gTagTable.size(), 3);
}

void tst_frmtag::nextStart_data()
{
    QTest::addColumn<bool>("closeBoxFirst");
    QTest::newRow("palette closed with its close box") << true;
    QTest::newRow("program ended with the palette open") << false;
}

void tst_frmtag::nextStart()
{
    QFETCH(bool, closeBoxFirst);
    TestEnv env;
    env.writeCp932(tagDatabaseFileName, numberedTags(4));
    env.writeSettings(-1, 0);
    {
        mdiMain frame;
        QVERIFY(frame.MDIForm_Load());
        frmTAG *tag = frame.tagWindow();
        QVERIFY(tag);
        QVERIFY(tag->Visible());
        QTRY_COMPARE(gTagWinVisible, -1);
        tag->setHeight(6015);
        tag->setWidth(3000);
        tag->setTop(330);
        tag->setLeft(450);
        if (closeBoxFirst)
            QVERIFY(tag->Unload(vbFormControlMenu));
        frame.closeFrame(vbFormMDIForm);
    }
    resetSharedState();

    mdiMain frame;
    QVERIFY(frame.MDIForm_Load());
    QCOMPARE(gTagWinHeight, 6015);
    QCOMPARE(gTagWinWidth, 3000);
    QCOMPARE(gTagWinTop, 330);
    QCOMPARE(gTagWinLeft, 450);
    if (closeBoxFirst) {
        QCOMPARE(gTagWinVisible, 0);
        QVERIFY(!frame.tagWindow());
        return;
    }
    QCOMPARE(gTagWinVisible, -1);
    frmTAG *tag = frame.tagWindow();
    QVERIFY(tag);
    QVERIFY(tag->Visible());
    QCOMPARE(tag->Height(), 6015);
    QCOMPARE(tag->Width(), 3000);
    QCOMPARE(tag->Top(), 330);
    QCOMPARE(tag->Left(), 450);
    QCOMPARE(tag->cmdBase().upperBound(), 4);
    frame.closeFrame(vbFormMDIForm);
}

PAGEKILN_TEST_MAIN(tst_frmtag)
#include "tst_frmtag.moc"
