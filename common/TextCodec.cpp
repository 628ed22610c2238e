#include "common/TextCodec.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr char cp932Name[] = "windows-31j";
const QByteArray utf8Bom("\xEF\xBB\xBF", 3);

bool hasNonAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80)
            return true;
    return false;
}

// The page's head (up to "</head" or the first 4 KB) declares charset=utf-8 in either
// meta form: <meta charset="utf-8"> or content="text/html; charset=utf-8".
bool headDeclaresUtf8(QByteArrayView bytes)
{
    QByteArrayView head = bytes.first(std::min<qsizetype>(bytes.size(), 4096));
    const QString text = QString::fromLatin1(head);
    const qsizetype end = text.indexOf(QLatin1String("</head"), 0, Qt::CaseInsensitive);
    static const QRegularExpression declared(QStringLiteral("charset\\s*=\\s*[\"']?\\s*utf-?8"),
                                             QRegularExpression::CaseInsensitiveOption);
    return declared.match(end < 0 ? text : text.left(end)).hasMatch();
}

QByteArray encodeCp932(QStringView text, bool *failed)
{
    QStringEncoder encoder(cp932Name, QStringConverter::Flag::Stateless);
    QByteArray out = encoder.encode(text);
    *failed = encoder.hasError();
    return out;
}

// Encodes one piece that holds unrepresentable characters, code point by code point.
void appendWithReferences(QByteArray &out, QStringView piece)
{
    qsizetype i = 0;
    while (i < piece.size()) {
        const qsizetype width = (piece.at(i).isHighSurrogate() && i + 1 < piece.size()
                                 && piece.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QStringView one = piece.mid(i, width);
        bool failed = false;
        const QByteArray bytes = encodeCp932(one, &failed);
        if (failed) {
            const char32_t cp = width == 2 ? QChar::surrogateToUcs4(one.at(0), one.at(1)) : one.at(0).unicode();
            out += "&#" + QByteArray::number(uint(cp)) + ';';
        } else {
            out += bytes;
        }
        i += width;
    }
}
} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += extra + 1;
    }
    return true;
}

TextEncoding detectEncoding(QByteArrayView bytes, DetectMode mode)
{
    if (bytes.startsWith(utf8Bom))
        return TextEncoding::Utf8Bom;
    if (hasNonAscii(bytes))
        return isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
    if (mode == DetectMode::Page && headDeclaresUtf8(bytes))
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return QString::fromUtf8(bytes.startsWith(utf8Bom) ? bytes.sliced(3) : bytes);
    case TextEncoding::Utf8:
        return QString::fromUtf8(bytes);
    case TextEncoding::Cp932:
        break;
    }
    QStringDecoder decoder(cp932Name, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encodeStrict(const QString &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return text.toUtf8();
    if (encoding == TextEncoding::Utf8Bom)
        return utf8Bom + text.toUtf8();
    bool failed = false;
    QByteArray out = encodeCp932(text, &failed);
    if (failed)
        return std::nullopt;
    return out;
}

QByteArray encodeWithReferences(const QString &text, TextEncoding encoding)
{
    if (std::optional<QByteArray> strict = encodeStrict(text, encoding))
        return *strict;
    // Only lines that hold an unrepresentable character are encoded piece by piece.
    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        end = end < 0 ? text.size() : end + 1;
        const QStringView line = QStringView(text).sliced(start, end - start);
        bool failed = false;
        const QByteArray bytes = encodeCp932(line, &failed);
        if (failed)
            appendWithReferences(out, line);
        else
            out += bytes;
        start = end;
    }
    return out;
}
