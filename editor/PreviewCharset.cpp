#include "editor/PreviewCharset.h"

#include <QRegularExpression>

#include <algorithm>

namespace previewCharset {

namespace {

// The start of the page, where its head and any declaration stand (a browser looks for
// one in the first 1,024 bytes); a long page costs no more than a short one.
QStringView pageStart(QStringView text)
{
    return text.first(std::min(text.size(), headReach));
}

// The head within `start`: up to its end tag or the body's start tag, whichever comes first.
QStringView headOf(QStringView start)
{
    const qsizetype headClose = start.indexOf(u"</head", 0, Qt::CaseInsensitive);
    const qsizetype bodyOpen = start.indexOf(u"<body", 0, Qt::CaseInsensitive);
    return start.first(std::min(headClose < 0 ? start.size() : headClose, bodyOpen < 0 ? start.size() : bodyOpen));
}

// The position right after the first match of `pattern` in `text`, or -1.
qsizetype after(QStringView text, const QRegularExpression &pattern)
{
    const QRegularExpressionMatch m = pattern.match(text);
    return m.hasMatch() ? m.capturedEnd() : -1;
}

}   // namespace

bool declaresCharset(QStringView text)
{
    static const QRegularExpression meta(QStringLiteral("<meta\\s[^>]*charset\\s*="),
                                         QRegularExpression::CaseInsensitiveOption);
    return meta.match(headOf(pageStart(text))).hasMatch();
}

QString withDeclaredCharset(QString text, TextEncoding encoding)
{
    if (encoding != TextEncoding::Cp932 || declaresCharset(text))
        return text;
    static const QRegularExpression head(QStringLiteral("<head(\\s[^>]*)?>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression html(QStringLiteral("<html(\\s[^>]*)?>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression doctype(QStringLiteral("^\\s*<!doctype[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QStringView start = pageStart(text);
    qsizetype at = after(start, head);
    if (at < 0)
        at = after(start, html);
    if (at < 0)
        at = after(start, doctype);
    return text.insert(std::max<qsizetype>(at, 0), shiftJisMeta);
}

}   // namespace previewCharset
