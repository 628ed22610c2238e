// Parsing the tag database and expanding tag texts into keystrokes, at growing sizes:
// the time per character should stay flat.

#include "tags/TagDatabase.h"
#include "tags/TagKeys.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

QString database(int tags)
{
    QString text;
    for (int i = 0; i < tags; ++i)
        text += QStringLiteral("見出し%1\t<H1>\\n\\t</H1>%1\t残り\r\n").arg(i);
    return text;
}

QString tagText(int length)
{
    QString text;
    while (text.size() < length)
        text += QStringLiteral("<TD>\\t表\\n+%");
    return text;
}

template<class F>
double bestNanosPerChar(qsizetype chars, F &&f)
{
    qint64 best = -1;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        f();
        const qint64 ns = t.nsecsElapsed();
        if (best < 0 || ns < best)
            best = ns;
    }
    return double(best) / double(chars);
}

}   // namespace

int main()
{
    std::printf("%-12s %12s %14s\n", "case", "characters", "ns/character");
    for (int tags : {1000, 10000, 100000}) {
        const QString text = database(tags);
        qsizetype found = 0;
        const double ns = bestNanosPerChar(text.size(), [&] { found = basSystem::parseTagDatabase(text).size(); });
        std::printf("parse %-6d %12lld %14.2f  (%lld tags)\n", tags, qlonglong(text.size()), ns, qlonglong(found - 1));
    }
    for (int length : {2000, 200000, 2000000}) {
        const QString text = tagText(length);
        qsizetype keys = 0;
        const double ns = bestNanosPerChar(text.size(), [&] { keys = expandTagText(text).size(); });
        std::printf("expand      %12lld %14.2f  (%lld keys)\n", qlonglong(text.size()), ns, qlonglong(keys));
    }
    return 0;
}
