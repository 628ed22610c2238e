#include "platform/KForm.h"
#include "support/PaintCounter.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

namespace {
// A form that records what it was told.
class ProbeForm : public KForm
{
public:
    explicit ProbeForm(QMdiArea *area) : KForm(area, Border::Sizable)
    {
        button = new QPushButton(this);
        placeControl(button, {30, 30, 375, 375});
    }
    QPushButton *button;
    QList<int> reasons;
    int resizes = 0;
    int activations = 0;
    bool cancelUserClose = false;

protected:
    void Form_Resize() override { ++resizes; }
    void Form_Activate() override { ++activations; }
    void Form_QueryUnload(bool &cancel, int reason) override
    {
        reasons << reason;
        cancel = cancelUserClose && reason == vbFormControlMenu;
    }
};
// `count` forms shown one after the other, the last one on top.
QList<ProbeForm *> showForms(QMdiArea *area, int count)
{
    QList<ProbeForm *> forms;
    for (int i = 0; i < count; ++i) {
        forms << new ProbeForm(area);
        forms.last()->Show();
    }
    return forms;
}
}   // namespace

class tst_kform : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hiddenFormHasNoWindowYet();
    void shownFormShowsItsControls();
    void qtShowAndHideActOnTheWindow();
    void userCloseCanBeCancelled();
    void unloadWithoutWindowDiscardsTheForm();
    void sizesAreKeptInTwips();
    void laterWindowsStackAboveAndNoneStaysOnTop();
    void coveredWindowsRest();
    void focusEnteringAWindowActivatesIt();
    void switchRepaintsOnlyTheWindowsItChanges();
};

void tst_kform::hiddenFormHasNoWindowYet()
{
    TestEnv env;
    auto *form = new ProbeForm(env.area());
    form->setWidth(3180);
    form->setHeight(1845);
    form->setLeft(300);
    QVERIFY(env.area()->subWindowList().isEmpty());
    QVERIFY(!form->Visible());
    // Hidden forms stay out of the area's own children, which every repaint inside it walks.
    QVERIFY(!env.area()->findChildren<KForm *>(Qt::FindDirectChildrenOnly).contains(form));
    QVERIFY(env.area()->findChildren<KForm *>().contains(form));
    QCOMPARE(form->Width(), 3180);
    QCOMPARE(form->Left(), 300);
    QCOMPARE(form->resizes, 2);
}

void tst_kform::shownFormShowsItsControls()
{
    TestEnv env;
    auto *form = new ProbeForm(env.area());
    form->setCaption(QStringLiteral("見出し"));
    form->setWidth(3180);
    form->setHeight(1845);
    form->setTop(150);
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(env.area()));
    QCOMPARE(env.area()->subWindowList().size(), 1);
    QMdiSubWindow *sub = form->subWindow();
    QCOMPARE(sub->windowTitle(), QStringLiteral("見出し"));
    QCOMPARE(sub->size(), QSize(212, 123));   // 15 twips a pixel
    QCOMPARE(sub->y(), 10);
    QVERIFY(form->isVisible());
    QVERIFY(form->button->isVisible());
    QTRY_VERIFY(form->activations >= 1);
}

void tst_kform::qtShowAndHideActOnTheWindow()
{
    TestEnv env;
    auto *form = new ProbeForm(env.area());
    form->show();
    QVERIFY(!form->isWindow());
    QCOMPARE(env.area()->subWindowList(), QList<QMdiSubWindow *>{form->subWindow()});
    QVERIFY(form->Visible());
    form->hide();
    QVERIFY(!form->Visible());
    form->Show();
    QVERIFY(form->button->isVisible());   // the form itself stayed shown inside its window
}

void tst_kform::userCloseCanBeCancelled()
{
    TestEnv env;
    auto *form = new ProbeForm(env.area());
    form->cancelUserClose = true;
    form->Show();
    QVERIFY(!form->subWindow()->close());
    QVERIFY(!form->isUnloaded());
    QPointer<ProbeForm> watch(form);
    QVERIFY(form->Unload(vbFormMDIForm));
    QCOMPARE(form->reasons, (QList<int>{vbFormControlMenu, vbFormMDIForm}));
    QVERIFY(form->isUnloaded());
    QTRY_VERIFY(watch.isNull());
}

void tst_kform::unloadWithoutWindowDiscardsTheForm()
{
    TestEnv env;
    QPointer<ProbeForm> form = new ProbeForm(env.area());
    QVERIFY(form->Unload(vbFormCode));
    QCOMPARE(form->reasons, QList<int>{vbFormCode});
    QVERIFY(form->Unload(vbFormCode));   // once unloaded, nothing more happens
    QCOMPARE(form->reasons.size(), 1);
    QTRY_VERIFY(form.isNull());
}

void tst_kform::sizesAreKeptInTwips()
{
    TestEnv env;
    auto *form = new ProbeForm(env.area());
    form->Show();
    form->setHeight(1000);   // no whole number of pixels: the twips stay exact
    QCOMPARE(form->Height(), 1000);
    form->subWindow()->resize(300, 200);   // the user drags the frame
    QCOMPARE(form->Width(), 4500);
    QCOMPARE(form->Height(), 3000);
    form->setLeft(2900);   // 193.3 pixels: stored back as it was set
    QCOMPARE(form->Left(), 2900);
    form->subWindow()->move(100, 10);
    QCOMPARE(form->Left(), 1500);
    QCOMPARE(form->Top(), 150);
}

void tst_kform::laterWindowsStackAboveAndNoneStaysOnTop()
{
    TestEnv env;
    const QList<ProbeForm *> forms = showForms(env.area(), 3);
    const QList<QMdiSubWindow *> stack = env.area()->subWindowList(QMdiArea::StackingOrder);
    QCOMPARE(stack.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(stack.at(i), forms.at(i)->subWindow());
        QVERIFY(!stack.at(i)->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
    // The first window raised again goes above the others, as it would not if it stayed on top.
    forms.first()->subWindow()->raise();
    QCOMPARE(env.area()->subWindowList(QMdiArea::StackingOrder).last(), forms.first()->subWindow());
    // Activated, a window goes on top, and stays on top no longer than its activation, nor
    // does the window it took the place of.
    forms.at(1)->Show();
    QCOMPARE(env.area()->subWindowList(QMdiArea::StackingOrder).last(), forms.at(1)->subWindow());
    // Each keeps the rest of its flags as the area made them: a window of the area with a
    // title bar (a real window system showed neither the title nor a tool window otherwise).
    forms.at(2)->Show();
    for (const QMdiSubWindow *sub : env.area()->subWindowList()) {
        QVERIFY(!sub->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(sub->windowType(), Qt::SubWindow);
        QVERIFY(sub->windowFlags().testFlag(Qt::WindowTitleHint));
    }
}

// A window wholly covered by another rests (no title, no painting) until some of it can be
// seen again; one whose title bar still shows keeps its title.
void tst_kform::coveredWindowsRest()
{
    TestEnv env;
    QList<ProbeForm *> forms;
    for (int i = 0; i < 3; ++i) {
        forms << new ProbeForm(env.area());
        forms.constLast()->setCaption(QStringLiteral("窓%1").arg(i));
        forms.constLast()->setWidth(3180);
        forms.constLast()->setHeight(1845);
        forms.constLast()->setLeft(0);
        forms.constLast()->setTop(0);
        forms.constLast()->Show();
    }
    const auto resting = [](ProbeForm *form) {
        return form->sight() == windowCover::Sight::Covered && !form->subWindow()->updatesEnabled()
            && form->subWindow()->windowTitle().isEmpty();
    };
    QTRY_VERIFY(resting(forms.at(0)) && resting(forms.at(1)));
    QCOMPARE(forms.at(2)->subWindow()->windowTitle(), QStringLiteral("窓2"));

    // Moved down by less than its title bar's height, the top window uncovers the title bar
    // of the one below, but none of its contents.
    forms.at(2)->setTop(90);
    QTRY_COMPARE(forms.at(1)->sight(), windowCover::Sight::FrameOnly);
    QVERIFY(forms.at(1)->subWindow()->updatesEnabled());
    QCOMPARE(forms.at(1)->subWindow()->windowTitle(), QStringLiteral("窓1"));
    QVERIFY(resting(forms.at(0)));
    forms.at(2)->Hide();
    forms.at(1)->Hide();
    QTRY_COMPARE(forms.at(0)->sight(), windowCover::Sight::Contents);
    QCOMPARE(forms.at(0)->subWindow()->windowTitle(), QStringLiteral("窓0"));
}

// A click on a control of a window beneath gives it the focus, and that activates the
// window, as it does however many windows the area holds.
void tst_kform::focusEnteringAWindowActivatesIt()
{
    TestEnv env;
    const QList<ProbeForm *> forms = showForms(env.area(), 3);
    env.area()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(env.area()));
    QCOMPARE(env.area()->activeSubWindow(), forms.at(2)->subWindow());
    forms.at(0)->button->setFocus(Qt::MouseFocusReason);
    QVERIFY(forms.at(0)->button->hasFocus());
    QCOMPARE(env.area()->activeSubWindow(), forms.at(0)->subWindow());
    QCOMPARE(env.area()->subWindowList(QMdiArea::StackingOrder).last(), forms.at(0)->subWindow());
}

// A switch repaints the frames of the window it deactivates and of the one it activates,
// and no other; the others repaint again as soon as they change.
void tst_kform::switchRepaintsOnlyTheWindowsItChanges()
{
    TestEnv env;
    const QList<ProbeForm *> forms = showForms(env.area(), 3);
    QVERIFY(QTest::qWaitForWindowExposed(env.area()));
    QTest::qWait(50);         // the first paints done
    PaintCounter frames[3];   // each window's own paints
    for (int i = 0; i < 3; ++i)
        forms.at(i)->subWindow()->installEventFilter(&frames[i]);
    forms.at(0)->Show();
    QTRY_VERIFY(frames[0].paints > 0 && frames[2].paints > 0);
    QTest::qWait(50);
    QCOMPARE(frames[1].paints, 0);
    for (ProbeForm *form : forms)
        QVERIFY(form->subWindow()->updatesEnabled());
    forms.at(1)->setCaption(QStringLiteral("新しい題名"));
    QTRY_VERIFY(frames[1].paints > 0);
}

PAGEKILN_TEST_MAIN(tst_kform)
#include "tst_kform.moc"
