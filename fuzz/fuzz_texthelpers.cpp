// The title and HREF routines against a plain reading of their rules on an upper-case copy.
#include "FuzzSupport.h"
#include "common/TextHelpers.h"

using namespace basSystem;

namespace {
// 1-based position of `needle` in `hay` at or after 1-based `from`, 0 when none.
qsizetype instr(qsizetype from, const QString &hay, const QString &needle)
{
    if (from < 1 || from > hay.size() + 1)
        return 0;
    return hay.indexOf(needle, from - 1) + 1;
}

std::optional<QString> plainTagText(const QString &text, qsizetype &endPos)
{
    const QString u = upperCopy(text);
    const qsizetype p1 = instr(1, u, QStringLiteral("<TITLE"));
    if (p1 == 0)
        return std::nullopt;
    const qsizetype s = instr(p1, u, QStringLiteral(">")) + 1;
    const qsizetype p3 = instr(s, u, QStringLiteral("</TITLE"));
    if (p3 == 0)
        return std::nullopt;
    endPos = p3 + 7;
    return StripControlChars(text.mid(s - 1, p3 - s));
}

QString plainHref(const QString &text, qsizetype &nextPos)
{
    const QString u = upperCopy(text);
    const qsizetype p = instr(1, u, QStringLiteral(" HREF"));
    if (p == 0) {
        nextPos = text.size();
        return QString();
    }
    const qsizetype s = instr(p, u, QStringLiteral("\"")) + 1;
    const qsizetype q2 = instr(s + 1, u, QStringLiteral("\""));
    nextPos = q2;
    if (s >= q2)
        return QString();
    return StripControlChars(text.mid(s - 1, q2 - s));
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(fuzzBytes(data, size));
    qsizetype e1 = -5, e2 = -5;
    FUZZ_CHECK(GetTagText(text, QStringLiteral("TITLE"), e1) == plainTagText(text, e2));
    FUZZ_CHECK(e1 == e2);
    qsizetype n1 = -5, n2 = -5;
    FUZZ_CHECK(GetHrefValue(text, n1) == plainHref(text, n2));
    FUZZ_CHECK(n1 == n2);
    return 0;
}
