#include "editor/PreviewCharset.h"

#include <QRegularExpression>

#include <algorithm>

namespace previewCharset {

namespace {

// Where the head ends: its end tag or the body's start tag, whichever comes first.
qsizetype headEnd(QStringView text)
{
    const qsizetype headClose = text.indexOf(u"</head", 0, Qt::CaseInsensitive);
    const qsizetype bodyOpen = text.indexOf(u"<body", 0, Qt::CaseInsensitive);
    return std::min(headClose < 0 ? text.size() : headClose, bodyOpen < 0 ? text.size() : bodyOpen);
}

// The position right after the first match of `pattern` in `text`, or -1.
qsizetype after(const QString &text, const QRegularExpression &pattern)
{
    const QRegularExpressionMatch m = pattern.match(text);
    return m.hasMatch() ? m.capturedEnd() : -1;
}

}   // namespace

bool declaresCharset(QStringView text)
{
    static const QRegularExpression meta(QStringLiteral("<meta\\s[^>]*charset\\s*="),
                                         QRegularExpression::CaseInsensitiveOption);
    return meta.match(text.first(headEnd(text))).hasMatch();
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
    qsizetype at = after(text, head);
    if (at < 0)
        at = after(text, html);
    if (at < 0)
        at = after(text, doctype);
    return text.insert(std::max<qsizetype>(at, 0), shiftJisMeta);
}

}   // namespace previewCharset
