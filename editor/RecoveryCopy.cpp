#include "editor/RecoveryCopy.h"
#include "common/TextFile.h"
#include "common/TextHelpers.h"
#include "editor/EditorTexts.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <bit>

namespace {
const QByteArray formatLine = QByteArrayLiteral("pageKiln recovery copy 1");

QByteArray encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Cp932: return QByteArrayLiteral("cp932");
    case TextEncoding::Utf8: return QByteArrayLiteral("utf-8");
    case TextEncoding::Utf8Bom: return QByteArrayLiteral("utf-8-bom");
    }
    return {};
}

std::optional<TextEncoding> encodingNamed(QByteArrayView name)
{
    for (TextEncoding e : {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf8Bom})
        if (name == encodingName(e))
            return e;
    return std::nullopt;
}

QByteArray escaped(const QString &value)
{
    QByteArray out = value.toUtf8();
    out.replace('\\', "\\\\").replace('\r', "\\r").replace('\n', "\\n");
    return out;
}

QString unescaped(QByteArrayView value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const char next = value[++i];
        out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return QString::fromUtf8(out);
}

// UTF-8, with each lone surrogate as the three bytes of its code point.
QByteArray textBytes(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 3);
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) { out += QStringView(text).sliced(runStart, end - runStart).toUtf8(); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;   // a pair: an ordinary character outside the Basic Multilingual Plane
            continue;
        }
        flushRun(i);
        const char16_t u = c.unicode();
        out += char(0xE0 | (u >> 12));
        out += char(0x80 | ((u >> 6) & 0x3F));
        out += char(0x80 | (u & 0x3F));
        runStart = i + 1;
    }
    flushRun(text.size());
    return out;
}

// The reverse of textBytes: ED A0..BF never starts a character of valid UTF-8, so each
// such sequence is a lone surrogate.
QString textFrom(QByteArrayView bytes)
{
    QString out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i + 2 < bytes.size(); ++i) {
        const auto b0 = uchar(bytes[i]), b1 = uchar(bytes[i + 1]), b2 = uchar(bytes[i + 2]);
        if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80)
            continue;
        out += QString::fromUtf8(bytes.sliced(runStart, i - runStart));
        out += QChar(char16_t(0xD000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F)));
        i += 2;
        runStart = i + 1;
    }
    out += QString::fromUtf8(bytes.sliced(runStart));
    return out;
}

// XXH64 (seed 0): 64 bits that change with any change of the bytes, at memory speed.
// Enough to tell whether a page file was changed since it was read; no defence against
// someone forging a file on purpose, which a recovery copy does not need.
constexpr quint64 prime1 = 0x9E3779B185EBCA87ULL, prime2 = 0xC2B2AE3D27D4EB4FULL, prime3 = 0x165667B19E3779F9ULL,
                  prime4 = 0x85EBCA77C2B2AE63ULL, prime5 = 0x27D4EB2F165667C5ULL;

quint64 read64(const uchar *p)
{
    return qFromLittleEndian<quint64>(p);
}

quint64 xxRound(quint64 acc, quint64 input)
{
    return std::rotl(acc + input * prime2, 31) * prime1;
}

quint64 xxMerge(quint64 hash, quint64 lane)
{
    return (hash ^ xxRound(0, lane)) * prime1 + prime4;
}

// The 32-byte stripes, four lanes each fed every fourth eight bytes.
quint64 xxStripes(const uchar *&p, const uchar *end)
{
    quint64 lanes[4] = {prime1 + prime2, prime2, 0, 0 - prime1};
    for (; end - p >= 32; p += 32)
        for (int k = 0; k < 4; ++k)
            lanes[k] = xxRound(lanes[k], read64(p + 8 * k));
    quint64 hash = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) + std::rotl(lanes[3], 18);
    for (quint64 lane : lanes)
        hash = xxMerge(hash, lane);
    return hash;
}

quint64 xxh64(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *end = p + bytes.size();
    quint64 hash = bytes.size() >= 32 ? xxStripes(p, end) : prime5;
    hash += quint64(bytes.size());
    for (; end - p >= 8; p += 8)
        hash = std::rotl(hash ^ xxRound(0, read64(p)), 27) * prime1 + prime4;
    if (end - p >= 4) {
        hash = std::rotl(hash ^ (quint64(qFromLittleEndian<quint32>(p)) * prime1), 23) * prime2 + prime3;
        p += 4;
    }
    for (; p < end; ++p)
        hash = std::rotl(hash ^ (*p * prime5), 11) * prime1;
    hash ^= hash >> 33;
    hash *= prime2;
    hash ^= hash >> 29;
    hash *= prime3;
    return hash ^ (hash >> 32);
}

// The hash earlier versions recorded, 40 hexadecimal digits; it still names the copies' files.
constexpr qsizetype sha1HexLength = 40;

QByteArray sha1Hex(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}
}   // namespace

QByteArray pageFileHash(QByteArrayView bytes)
{
    return QByteArray::number(quint64(xxh64(bytes)), 16).rightJustified(16, '0');
}

QByteArray formatRecoveryCopy(const RecoveryCopy &copy)
{
    QByteArray out = formatLine + '\n';
    out += "page=" + escaped(copy.pagePath) + '\n';
    out += "definition=" + escaped(copy.definitionPath) + '\n';
    out += "index=" + QByteArray::number(copy.pageIndex) + '\n';
    out += "title=" + escaped(copy.title) + '\n';
    out += "encoding=" + encodingName(copy.encoding) + '\n';
    out += "hash=" + copy.pageHash + '\n';
    out += '\n';
    return out + textBytes(copy.text);
}

std::optional<RecoveryCopy> parseRecoveryCopy(QByteArrayView bytes)
{
    const qsizetype headerEnd = bytes.indexOf(QByteArrayView("\n\n"));
    if (headerEnd < 0 || !bytes.startsWith(QByteArray(formatLine + '\n')))
        return std::nullopt;
    RecoveryCopy copy;
    bool hasEncoding = false;
    const QList<QByteArray> lines = bytes.first(headerEnd).toByteArray().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            return std::nullopt;
        const QByteArrayView key = QByteArrayView(line).first(eq), value = QByteArrayView(line).sliced(eq + 1);
        if (key == "page")
            copy.pagePath = unescaped(value);
        else if (key == "definition")
            copy.definitionPath = unescaped(value);
        else if (key == "index")
            copy.pageIndex = value.toByteArray().toInt();
        else if (key == "title")
            copy.title = unescaped(value);
        else if (key == "hash")
            copy.pageHash = value.toByteArray();
        else if (key == "encoding") {
            const std::optional<TextEncoding> e = encodingNamed(value);
            if (!e)
                return std::nullopt;
            copy.encoding = *e;
            hasEncoding = true;
        }
    }
    if (!hasEncoding)
        return std::nullopt;
    copy.text = textFrom(bytes.sliced(headerEnd + 2));
    return copy;
}

QString recoveryFileName(const RecoveryCopy &copy)
{
    const QString key = copy.pagePath.isEmpty()
        ? QString(QStringLiteral("new:") + copy.definitionPath + QLatin1Char('#') + QString::number(copy.pageIndex))
        : QString(QStringLiteral("page:") + copy.pagePath);
    return QString::fromLatin1(sha1Hex(key.toUtf8()).left(20)) + QStringLiteral(".recovery");
}

bool isStale(const RecoveryCopy &copy, const QByteArray &currentPageHash)
{
    if (copy.pageHash.size() != sha1HexLength)
        return copy.pageHash != currentPageHash;
    // A copy taken by an earlier version recorded the SHA-1 of the page file. The file is
    // read once more: it still holds what was read when its hash is the current one, and
    // then its SHA-1 says whether that is what the copy was taken against.
    QString error;
    const std::optional<QByteArray> bytes = readFileBytes(copy.pagePath, &error);
    return !bytes || pageFileHash(*bytes) != currentPageHash || sha1Hex(*bytes) != copy.pageHash;
}

QString recoveryPrompt(const QStringList &pages, const QStringList &changedPages)
{
    QString prompt = editorTexts::recoveryQuestion + QLatin1Char('\n');
    for (const QString &page : pages)
        prompt += basSystem::listItem + page;
    if (changedPages.isEmpty())
        return prompt;
    prompt += QStringLiteral("\n\n") + editorTexts::recoveryChangedPages;
    for (const QString &page : changedPages)
        prompt += basSystem::listItem + page;
    return prompt;
}
