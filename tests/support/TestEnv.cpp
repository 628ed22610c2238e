#include "support/TestEnv.h"
#include "app/basSystem.h"
#include "common/TextCodec.h"
#include "platform/KForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestEnv::TestEnv()
{
    platform.folder = dir.path();
    resetSharedState();
}

TestEnv::~TestEnv()
{
    if (KForm::defaultArea() == mArea.get())
        KForm::setDefaultArea(nullptr);
    resetSharedState();
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
    const QString text = QStringLiteral(
        "[FORM INF]\r\nTAG_V=%1\r\nTAG_W=2820\r\nTAG_H=8175\r\nTAG_T=0\r\nTAG_L=0\r\n"
        "TRE_V=%2\r\nTRE_W=3210\r\nTRE_H=8430\r\nTRE_T=0\r\nTRE_L=2900\r\nTRE_S=0\r\n"
        "[APP INF]\r\nCUR_DIR=%3/\r\n[HISTORY]\r\n").arg(tagVisible).arg(treeVisible).arg(dir.path());
    QString history;
    for (int i = 1; i <= 10; ++i)
        history += QStringLiteral("FILE%1=\r\n").arg(i, 2, 10, QLatin1Char('0'));
    if (!QFile::exists(path(QStringLiteral("TagDB.TXT"))))
        writeCp932(QStringLiteral("TagDB.TXT"), QStringLiteral("見出し\t<H1></H1>\t\r\n段落\t<P>\\n</P>\t\r\n"));
    return writeCp932(QStringLiteral("pageKiln.INI"), text + history);
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
    gCurDir.clear();
    gHistory.fill(QString());
    gActiveEditor.clear();
    gSite = SiteInfo{};
    gTagTable = QList<TagRecord>{TagRecord{}};
    resetPageTables();
}
