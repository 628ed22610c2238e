#include "editor/LinkRewrite.h"
#include "common/TextHelpers.h"

namespace linkRewrite {

namespace {
// The first `c` at or after `from`, or -1. Once a search has failed, every later one
// fails too, so the caller keeps the answer instead of scanning to the end again.
class ForwardSearch
{
public:
    ForwardSearch(QStringView text, QChar c) : mText(text), mChar(c) {}

    qsizetype from(qsizetype pos)
    {
        if (mExhausted)
            return -1;
        const qsizetype found = mText.indexOf(mChar, pos);
        mExhausted = found < 0;
        return found;
    }

private:
    QStringView mText;
    QChar mChar;
    bool mExhausted = false;
};
} // namespace

bool isExternalHead(QStringView head)
{
    using basSystem::indexOfUpper;
    return indexOfUpper(head, QLatin1StringView("HTTP:")) >= 0
        || indexOfUpper(head, QLatin1StringView("HTTPS:")) >= 0
        || indexOfUpper(head, QLatin1StringView("MAILTO:")) >= 0;
}

QString rewritePass(QStringView text, QLatin1StringView keyword, QStringView folder)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    ForwardSearch quotes(text, QLatin1Char('"'));
    ForwardSearch equals(text, QLatin1Char('='));
    qsizetype p = 0;   // the first character not yet copied
    for (;;) {
        const qsizetype k = basSystem::indexOfUpper(text, keyword, p);
        if (k < 0)
            break;
        qsizetype q = quotes.from(k);
        if (q < 0)
            q = equals.from(k);
        if (q < 0)
            break;
        out += text.sliced(p, q - p + 1);
        if (!isExternalHead(text.sliced(q, std::min(headLength, text.size() - q))))
            out += folder;
        p = q + 1;
    }
    out += text.sliced(p);
    return out;
}

QString previewText(QStringView text, QStringView folder)
{
    const QString afterHref = rewritePass(text, hrefKeyword, folder);
    const QString afterBackground = rewritePass(afterHref, backgroundKeyword, folder);
    return rewritePass(afterBackground, srcKeyword, folder);
}

} // namespace linkRewrite
