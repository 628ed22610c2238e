#include "support/TestEnv.h"
#include "app/basSystem.h"
#include "common/TextCodec.h"
#include "platform/KForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QRegularExpression>

TestEnv::TestEnv()
{
    platform.folder = dir.path();
    mPreviousDataHome = qgetenv("XDG_DATA_HOME");
    mPreviousTmpDir = qgetenv("TMPDIR");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    QDir(dir.path()).mkdir(QStringLiteral("tmp"));
    qputenv("TMPDIR", QFile::encodeName(dir.filePath(QStringLiteral("tmp"))));
    resetSharedState();
}

TestEnv::~TestEnv()
{
    if (KForm::defaultArea() == mArea.get())
        KForm::setDefaultArea(nullptr);
    resetSharedState();
    if (mPreviousDataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", mPreviousDataHome);
    if (mPreviousTmpDir.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", mPreviousTmpDir);
}

QString TestEnv::path(const QString &name) const
{
    return dir.filePath(name);
}

QString TestEnv::write(const QString &name, const QByteArray &bytes) const
{
    const QString p = path(name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return p;
}

QString TestEnv::writeCp932(const QString &name, const QString &text) const
{
    return write(name, cp932(text));
}

QByteArray TestEnv::read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray TestEnv::cp932(const QString &text)
{
    return encodeStrict(text, TextEncoding::Cp932).value_or(QByteArray());
}

QString TestEnv::writeSettings(int tagVisible, int treeVisible) const
{
    const QString text = QStringLiteral("[FORM INF]\r\nTAG_V=%1\r\nTAG_W=2820\r\nTAG_H=8175\r\nTAG_T=0\r\nTAG_L=0\r\n"
                                        "TRE_V=%2\r\nTRE_W=3210\r\nTRE_H=8430\r\nTRE_T=0\r\nTRE_L=2900\r\nTRE_S=0\r\n"
                                        "[APP INF]\r\nCUR_DIR=%3/\r\n[HISTORY]\r\n")
                             .arg(tagVisible)
                             .arg(treeVisible)
                             .arg(dir.path());
    QString history;
    for (int i = 1; i <= 10; ++i)
        history += QStringLiteral("FILE%1=\r\n").arg(i, 2, 10, QLatin1Char('0'));
    if (!QFile::exists(path(QStringLiteral("TagDB.TXT"))))
        writeCp932(QStringLiteral("TagDB.TXT"), QStringLiteral("見出し\t<H1></H1>\t\r\n段落\t<P>\\n</P>\t\r\n"));
    return writeCp932(QStringLiteral("pageKiln.INI"), text + history);
}

QString TestEnv::writeSampleSite(const QString &examples) const
{
    const QString folder = path(QStringLiteral("sample-site")) + QLatin1Char('/');
    for (const char *page : {"index.htm", "about.htm", "links.htm"})
        write(QStringLiteral("sample-site/") + QLatin1String(page), read(examples + u'/' + QLatin1String(page)));
    QByteArray ksd = read(examples + QStringLiteral("/sample.ksd.in"));
    ksd.replace("@DIR@", folder.toUtf8());
    return write(QStringLiteral("sample-site/sample.ksd"), ksd);
}

QString TestEnv::writeSite(const QString &sub, const QString &name, int n) const
{
    const QString folder = path(sub) + QLatin1Char('/');
    QStringList entries;
    for (int i = 1; i <= n; ++i) {
        writeCp932(QStringLiteral("%1/p%2.htm").arg(sub).arg(i),
                   QStringLiteral("<TITLE>%1 %2</TITLE>\r\n<A HREF=\"x.htm\">x</A>\r\n").arg(name).arg(i));
        entries << QStringLiteral("%1*%2*p%3.htm").arg(i == 1 ? -1 : 0).arg(folder).arg(i);
    }
    const QString count = QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
    const QString header = definitionHeader(QStringLiteral("Velmoran HTML Editor Ver 0.0"), name, folder);
    return writeCp932(sub + QStringLiteral("/site.ksd"), header + definitionList(count, entries));
}

QMdiArea *TestEnv::area()
{
    if (!mArea) {
        mArea = std::make_unique<QMdiArea>();
        mArea->resize(1200, 900);
        mArea->show();
        KForm::setDefaultArea(mArea.get());
    }
    return mArea.get();
}

void resetSharedState()
{
    using namespace basSystem;
    gTagWinHeight = gTagWinWidth = gTagWinTop = gTagWinLeft = gTagWinVisible = 0;
    gTreeWinHeight = gTreeWinWidth = gTreeWinTop = gTreeWinLeft = gTreeSplit = gTreeWinVisible = 0;
    gFrameLeft = gFrameTop = gFrameWidth = gFrameHeight = gFrameMaximized = 0;
    gEditorWrap = 0;
    gCurDir.clear();
    gHistory.fill(QString());
    gActiveEditor.clear();
    gSite = SiteInfo{};
    gTagTable = QList<TagRecord>{TagRecord{}};
    resetPageTables();
    markDefinitionSaved();
}

QString definitionHeader(const QString &version, const QString &name, const QString &folder, const QString &url)
{
    return QStringLiteral("[KSD INF]\r\nVER=%1\r\nPNM=%2\r\nDIR=%3\r\nURL=%4\r\n").arg(version, name, folder, url);
}

QString definitionList(const QString &count, const QStringList &entries)
{
    QString text = QStringLiteral("[HTML LIST]\r\nCNT=%1\r\n").arg(count);
    for (qsizetype i = 0; i < entries.size(); ++i)
        text += QStringLiteral("%1=%2\r\n").arg(i + 1, 3, 10, QLatin1Char('0')).arg(entries.at(i));
    return text;
}

QStringList pageTitles()
{
    QStringList titles;
    for (qsizetype i = 1; i < basSystem::gPageTable.size(); ++i)
        titles << basSystem::gPageTable.at(i).Title;
    return titles;
}

quint32 testSeed()
{
    bool ok = false;
    quint32 seed = qEnvironmentVariable("PAGEKILN_TEST_SEED").toUInt(&ok);
    if (!ok)
        seed = QRandomGenerator::system()->generate();
    qInfo("random seed %u (repeat with PAGEKILN_TEST_SEED=%u)", seed, seed);
    return seed;
}

QAction *menuItem(const QMainWindow &window, const QString &menu, const QString &item)
{
    static const QRegularExpression accelerator(QStringLiteral("\\(&.\\)|&"));
    for (QAction *top : window.menuBar()->actions()) {
        if (QString(top->text()).remove(accelerator) != menu)
            continue;
        emit top->menu()->aboutToShow();
        for (QAction *action : top->menu()->actions())
            if (QString(action->text()).remove(accelerator) == item)
                return action;
    }
    return nullptr;
}
