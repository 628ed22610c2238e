#include "common/TextCodec.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace {
constexpr char cp932Name[] = "windows-31j";
const QByteArray utf8Bom("\xEF\xBB\xBF", 3);

// A kept byte b is the lone surrogate U+DC00 + b (U+DC80 to U+DCFF).
constexpr char16_t keptByteBase = 0xDC00;

// UTF-8 with a second byte-order mark at the start kept as a character.
QString decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// UTF-8 cannot hold a kept byte as it was: it is written as the private-use character
// earlier versions kept it as, so the file stays valid UTF-8 and reads as it did.
QByteArray encodeUtf8(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf8);
    QByteArray out = encoder.encode(text);
    if (!encoder.hasError())
        return out;
    QString spelled = text;
    for (qsizetype i = 0; i < spelled.size(); ++i) {
        if (spelled.at(i).isHighSurrogate() && i + 1 < spelled.size() && spelled.at(i + 1).isLowSurrogate())
            ++i;
        else if (isKeptByte(spelled.at(i)))
            spelled[i] = keptByteAsPrivateUse(spelled.at(i));
    }
    return spelled.toUtf8();
}

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

bool isLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The converter swaps the control bytes 0x1A, 0x1C and 0x7F around; Windows maps every
// byte below 0x80 to itself, so texts holding them take the careful way.
bool hasSwappedControl(QByteArrayView bytes)
{
    return bytes.contains('\x1A') || bytes.contains('\x1C') || bytes.contains('\x7F');
}

bool hasSwappedControl(QStringView text)
{
    return text.contains(QChar(0x1A)) || text.contains(QChar(0x1C)) || text.contains(QChar(0x7F));
}

bool decodedCleanly(const QString &piece)
{
    return !piece.isEmpty() && !piece.contains(QChar(0x1A)) && !piece.contains(QChar(0xFFFD));
}

// The slow way, for bytes that did not decode as a whole: character by character, with
// every byte that does not decode kept as itself.
QString decodeCp932Keeping(QByteArrayView bytes)
{
    QStringDecoder decoder(cp932Name, QStringConverter::Flag::Stateless);
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80) {
            out += QLatin1Char(char(b));
            ++i;
            continue;
        }
        const qsizetype width = (isLeadByte(b) && i + 1 < bytes.size()) ? 2 : 1;
        const QString piece = decoder.decode(bytes.sliced(i, width));
        if (decodedCleanly(piece)) {
            out += piece;
            i += width;
        } else {
            out += QChar(char16_t(keptByteBase + b));
            ++i;
        }
    }
    return out;
}

QByteArray encodeCp932(QStringView text, bool *failed)
{
    if (hasSwappedControl(text)) {
        *failed = true;
        return QByteArray();
    }
    QStringEncoder encoder(cp932Name, QStringConverter::Flag::Stateless);
    QByteArray out = encoder.encode(text);
    *failed = encoder.hasError();
    return out;
}

// Encodes one piece that holds characters the code page cannot take, code point by code
// point: kept bytes become themselves again, anything else unrepresentable a numeric
// character reference, or a failure when `references` is off.
bool appendPieceSlowly(QByteArray &out, QStringView piece, bool references)
{
    qsizetype i = 0;
    while (i < piece.size()) {
        const qsizetype width
            = (piece.at(i).isHighSurrogate() && i + 1 < piece.size() && piece.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QStringView one = piece.sliced(i, width);
        i += width;
        if (width == 1 && one.at(0).unicode() < 0x80) {
            out += char(one.at(0).unicode());
            continue;
        }
        if (width == 1 && isKeptByte(one.at(0))) {
            out += char(one.at(0).unicode() - keptByteBase);
            continue;
        }
        bool failed = false;
        const QByteArray bytes = encodeCp932(one, &failed);
        if (!failed) {
            out += bytes;
        } else if (references) {
            const char32_t cp = width == 2 ? QChar::surrogateToUcs4(one.at(0), one.at(1)) : one.at(0).unicode();
#ifdef PAGEKILN_MUTANT_REF_HALVES   // a planted fault for the fuzz oracles: a pair written as two halves
            if (width == 2) {
                out += "&#" + QByteArray::number(one.at(0).unicode()) + ";&#" + QByteArray::number(one.at(1).unicode())
                    + ';';
                continue;
            }
#endif
            out += "&#" + QByteArray::number(uint(cp)) + ';';
        } else {
            return false;
        }
    }
    return true;
}

// Code page 932 text, line by line: only lines the encoder cannot take whole go slowly.
std::optional<QByteArray> encodeCp932Lines(const QString &text, bool references)
{
    bool failed = false;
    QByteArray whole = encodeCp932(text, &failed);
    if (!failed)
        return whole;
    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        end = end < 0 ? text.size() : end + 1;
        const QStringView line = QStringView(text).sliced(start, end - start);
        const QByteArray bytes = encodeCp932(line, &failed);
        if (!failed)
            out += bytes;
        else if (!appendPieceSlowly(out, line, references))
            return std::nullopt;
        start = end;
    }
    return out;
}

// The UTF-8 sequence starting at p[i]: its length in bytes with its code point in `cp`,
// or 0 when it is not valid UTF-8 (a stray continuation byte, a cut-off or overlong
// sequence, a surrogate, a code point above U+10FFFF).
inline int utf8SequenceAt(const uchar *p, qsizetype n, qsizetype i, char32_t &cp)
{
    const uchar c = p[i];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int extra;
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
        return 0;
    }
    if (i + extra >= n)
        return 0;
    for (int k = 1; k <= extra; ++k) {
        if ((p[i + k] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
    if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return 0;
    return extra + 1;
}

// Whether the eight bytes at p are all ASCII.
inline bool asciiOnly8(const uchar *p)
{
    quint64 word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080ULL) == 0;
}
}   // namespace

bool isKeptByte(QChar c)
{
    return c.unicode() >= keptByteBase + 0x80 && c.unicode() <= keptByteBase + 0xFF;
}

QChar keptByteAsPrivateUse(QChar keptByte)
{
    return QChar(char16_t(keptByte.unicode() - keptByteBase + 0xF700));
}

QString unreadableEncoding(QByteArrayView bytes)
{
    // UTF-32's marks first: the little-endian one begins with UTF-16's.
    static const std::pair<QByteArrayView, QLatin1StringView> marks[] = {
        {QByteArrayView("\xFF\xFE\0\0", 4), QLatin1StringView("UTF-32LE")},
        {QByteArrayView("\0\0\xFE\xFF", 4), QLatin1StringView("UTF-32BE")},
        {QByteArrayView("\xFF\xFE", 2), QLatin1StringView("UTF-16LE")},
        {QByteArrayView("\xFE\xFF", 2), QLatin1StringView("UTF-16BE")},
    };
    for (const auto &[mark, name] : marks)
        if (bytes.startsWith(mark))
            return name;
    const QByteArrayView head = bytes.first(std::min(bytes.size(), qsizetype(4096)));
    // Most pages hold no NUL at all, which memchr tells at once; counting is for the rest.
    if (!head.contains('\0') || std::count(head.begin(), head.end(), '\0') * 8 < head.size())
        return QString();
    // A NUL in the second of two bytes is the high half of a little-endian unit.
    const qsizetype nul = head.indexOf('\0');
    const bool wide = head.sliced(nul).startsWith(QByteArrayView("\0\0\0", 3));
    return QLatin1StringView(wide ? "UTF-32" : "UTF-16") + QLatin1StringView(nul % 2 ? "LE" : "BE");
}

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    char32_t cp = 0;
    while (i < n) {
        const int length = utf8SequenceAt(p, n, i, cp);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::optional<QString> decodeIfValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);   // UTF-16 never takes more units than UTF-8 takes bytes
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n && asciiOnly8(p + i)) {
            for (int k = 0; k < 8; ++k)
                out[k] = p[i + k];
            out += 8;
            i += 8;
            continue;
        }
        char32_t cp = 0;
        const int length = utf8SequenceAt(p, n, i, cp);
        if (length == 0)
            return std::nullopt;
        if (cp >= 0x10000) {
            *out++ = QChar::highSurrogate(cp);
            *out++ = QChar::lowSurrogate(cp);
        } else {
            *out++ = char16_t(cp);
        }
        i += length;
    }
    text.truncate(out - begin);   // the room stays, as with Qt's own decoder
    return text;
}

TextEncoding detectEncoding(QByteArrayView bytes, DetectMode mode)
{
    if (bytes.startsWith(utf8Bom) && isValidUtf8(bytes.sliced(3)))
        return TextEncoding::Utf8Bom;
    if (hasNonAscii(bytes))
        return isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
    if (mode == DetectMode::Page && headDeclaresUtf8(bytes))
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

QString decodeDetected(QByteArrayView bytes, DetectMode mode, TextEncoding &encoding)
{
    // Bytes after a byte-order mark are valid exactly when the whole is.
    const bool bom = bytes.startsWith(utf8Bom);
    if (bom || hasNonAscii(bytes)) {
        if (std::optional<QString> text = decodeIfValidUtf8(bom ? bytes.sliced(3) : bytes)) {
            encoding = bom ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
            return *std::move(text);
        }
        encoding = TextEncoding::Cp932;
    } else {
        encoding = detectEncoding(bytes, mode);
    }
    return decodeText(bytes, encoding);
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom: return decodeUtf8(bytes.startsWith(utf8Bom) ? bytes.sliced(3) : bytes);
    case TextEncoding::Utf8: return decodeUtf8(bytes);
    case TextEncoding::Cp932: break;
    }
    if (hasSwappedControl(bytes))
        return decodeCp932Keeping(bytes);
    QStringDecoder decoder(cp932Name, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return text;
    return decodeCp932Keeping(bytes);
}

std::optional<QByteArray> encodeStrict(const QString &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return encodeUtf8(text);
    if (encoding == TextEncoding::Utf8Bom)
        return utf8Bom + encodeUtf8(text);
    return encodeCp932Lines(text, false);
}

QByteArray encodeWithReferences(const QString &text, TextEncoding encoding)
{
    if (encoding != TextEncoding::Cp932)
        return *encodeStrict(text, encoding);
    return *encodeCp932Lines(text, true);
}
