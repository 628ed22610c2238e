// The whole road of one piece of work through the real frame and its windows: open the
// sample site's definition, read the tree, open a page by its title, type into it (a
// tag from the palette and Japanese text), save the page, preview it, save the
// definition, look at the properties, and quit. Every step is a click or a keystroke on
// the real controls; only the desktop's dialogs and the browser are scripted.
//
// With PAGEKILN_SCREENSHOTS naming a folder, the run also saves pictures of the frame
// and the dialog there, for looking at the program in a real X server:
//   PAGEKILN_SCREENSHOTS=/tmp/shots QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" tst_road

#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/frmChild1.h"
#include "site/frmProp.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tags/frmTAG.h"
#include "tree/TreeView.h"
#include "tree/frmTree.h"

#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
QString sourceFile(const QString &relative)
{
    return QFINDTESTDATA(QStringLiteral("../../") + relative);
}

// Lays out the sample site in the program folder as the set-up script does, with the
// shipped settings file and tag database beside the program.
QString layOutSampleSite(TestEnv &env)
{
    for (const QString &name : {u"pageKiln.INI"_s, u"TagDB.TXT"_s})
        env.write(name, TestEnv::read(sourceFile(u"resources/"_s + name)));
    return env.writeSampleSite(sourceFile(u"examples/sample-site"_s));
}

class Screenshots
{
public:
    Screenshots() : mFolder(qEnvironmentVariable("PAGEKILN_SCREENSHOTS")) { }
    void take(QWidget *widget, const QString &name) const
    {
        if (mFolder.isEmpty())
            return;
        QDir().mkpath(mFolder);
        QCoreApplication::processEvents();
        widget->grab().save(mFolder + QLatin1Char('/') + name + u".png"_s);
        if (QScreen *screen = widget->screen())
            screen->grabWindow(0).save(mFolder + QLatin1Char('/') + name + u"-screen.png"_s);
    }

private:
    QString mFolder;
};

// The middle of a title label of the tree, in the picture box's pixels.
QPoint titlePoint(const frmTree *tree, qint32 page)
{
    const auto label = tree->tree().lblHTML(page);
    return QPoint(twipsToPixelsX(double(label->left + label->width / 2)),
                  twipsToPixelsY(double(label->top + TreeModel::labelHeight / 2)));
}

QStringList lines(const QByteArray &cp932)
{
    return decodeText(cp932, TextEncoding::Cp932).split(u"\r\n"_s);
}
}   // namespace

class tst_road : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void openEditSavePreviewSave();
};

void tst_road::openEditSavePreviewSave()
{
    TestEnv env;
    const Screenshots shots;
    const QString ksd = layOutSampleSite(env);
    const QString site = env.path(u"sample-site"_s) + QLatin1Char('/');

    auto *frame = new mdiMain;
    QVERIFY(frame->MDIForm_Load());
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    frmTree *tree = frame->treeWindow();
    frmTAG *palette = frame->tagWindow();
    QVERIFY(tree && palette);
    // The windows show their controls, not only their frames.
    QVERIFY(tree->isVisible() && tree->cmdOpe()->isVisible() && tree->picTre()->isVisible());
    QVERIFY(palette->isVisible() && palette->cmdBase().at(1)->isVisible());
    shots.take(frame, u"1-start"_s);

    // Open the definition.
    env.platform.fileAnswers.enqueue(ksd);
    QTest::mouseClick(tree->cmdOpe(), Qt::LeftButton);
    QCOMPARE(tree->caption(), u"サンプルサイト"_s);
    QCOMPARE(pageCount(), 3);
    QCOMPARE(tree->tree().lblHTML(1)->caption, u"ようこそ　サンプルサイトへ"_s);
    QCOMPARE(tree->tree().lblLink(100)->caption, u"index.htm"_s);
    QCOMPARE(tree->tree().lblLink(101)->caption, u"about.htm"_s);
    QCOMPARE(tree->tree().lblHTML(2)->caption, u"このサイトについて"_s);
    QVERIFY(gPageEditors.at(1)->Visible());
    QVERIFY(!gPageEditors.at(2)->Visible());
    shots.take(frame, u"2-opened"_s);
    shots.take(tree->subWindow(), u"2-tree"_s);

    // Click the title of the second page: its editor comes up and takes the focus.
    frmChild1 *about = gPageEditors.at(2);
    QTest::mouseClick(tree->picTre(), Qt::LeftButton, {}, titlePoint(tree, 2));
    QVERIFY(about->Visible());
    QVERIFY(about->txtEdit()->isVisible());
    QTRY_COMPARE(gActiveEditor.data(), about);

    // Type: a tag from the palette at the start, then Japanese through the input method.
    QTest::mouseClick(palette->cmdBase().at(1), Qt::LeftButton);
    QTRY_VERIFY(about->text().startsWith(u"<H1></H1><HTML>"_s));
    QInputMethodEvent typed;
    typed.setCommitString(u"追記"_s);
    QApplication::sendEvent(about->txtEdit(), &typed);
    QVERIFY(about->text().startsWith(u"<H1></H1>追記<HTML>"_s));
    shots.take(frame, u"3-edited"_s);
    shots.take(about->subWindow(), u"3-editor"_s);

    // Save the page: the file holds the editor's text in its code page.
    QTest::mouseClick(about->cmdSav(), Qt::LeftButton);
    const QByteArray saved = TestEnv::read(site + u"about.htm"_s);
    QCOMPARE(decodeText(saved, TextEncoding::Cp932), about->text());
    QVERIFY(saved.startsWith(TestEnv::cp932(u"<H1></H1>追記<HTML>\r\n"_s)));

    // Preview: the copy in the program folder points its relative links into the site.
    QTest::mouseClick(about->cmdBrz(), Qt::LeftButton);
    const QString preview = env.path(u"temp2.htm"_s);
    QCOMPARE(env.platform.browserRequests, QStringList{preview});
    const QString previewText = decodeText(TestEnv::read(preview), TextEncoding::Cp932);
    QVERIFY(previewText.contains(u"HREF=\""_s + site + u"index.htm\""_s));
    QVERIFY(previewText.contains(u"BACKGROUND=\""_s + site + u"images/bg.gif\""_s));

    // Save the definition: the page now open is recorded as open.
    QTest::mouseClick(tree->cmdSav(), Qt::LeftButton);
    QCOMPARE(env.platform.messageTexts(), QStringList{u"更新しました"_s});
    const QStringList definition = lines(TestEnv::read(ksd));
    QVERIFY(definition.contains(u"PNM=サンプルサイト"_s));
    QVERIFY(definition.contains(u"001=-1*"_s + site + u"*index.htm"_s));
    QVERIFY(definition.contains(u"002=-1*"_s + site + u"*about.htm"_s));
    QVERIFY(definition.contains(u"003=0*"_s + site + u"*links.htm"_s));

    // The properties show the site; Cancel leaves it.
    QString shownName;
    env.platform.modalActions.enqueue([&](QDialog &d) {
        auto *prop = qobject_cast<frmProp *>(&d);
        QVERIFY(prop);
        QVERIFY(QTest::qWaitForWindowExposed(prop));
        shownName = prop->txtName()->text();
        shots.take(prop, u"4-properties"_s);
        QTest::mouseClick(prop->cmdCanPrp(), Qt::LeftButton);
    });
    QTest::mouseClick(tree->cmdPrp(), Qt::LeftButton);
    QCOMPARE(shownName, u"サンプルサイト"_s);
    QCOMPARE(tree->caption(), u"サンプルサイト"_s);

    // Preview the first page too, then quit: the settings are written back and the
    // preview files go.
    QTest::mouseClick(gPageEditors.at(1)->cmdBrz(), Qt::LeftButton);
    QVERIFY(QFile::exists(env.path(u"temp1.htm"_s)));
    QTest::mouseClick(tree->cmdClo(), Qt::LeftButton);
    QVERIFY(frame->hasShutDown());
    QVERIFY(!QFile::exists(env.path(u"temp1.htm"_s)));
    QVERIFY(!QFile::exists(preview));
    QVERIFY(lines(TestEnv::read(env.path(u"pageKiln.INI"_s))).contains(u"TRE_V=-1"_s));
    delete frame;
}

PAGEKILN_TEST_MAIN(tst_road)
#include "tst_road.moc"
