#include "editor/RecoveryCopy.h"
#include "common/TextFile.h"
#include "common/PageHash.h"
#include "common/TextHelpers.h"
#include "editor/EditorText.h"
#include "editor/EditorTexts.h"

#include <QCryptographicHash>
#include <QStringDecoder>

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

// UTF-8 as it stands: a U+FEFF at the start is a character of the text, not a mark to drop
// (QString::fromUtf8 drops it).
QString fromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
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
    return fromUtf8(out);
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
#ifdef PAGEKILN_MUTANT_COPY_LAST_SURROGATE   // a planted fault for the fuzz oracles: a kept byte at the end is lost
    for (qsizetype i = 0; i + 3 < bytes.size(); ++i) {
#else
    for (qsizetype i = 0; i + 2 < bytes.size(); ++i) {
#endif
        const auto b0 = uchar(bytes[i]), b1 = uchar(bytes[i + 1]), b2 = uchar(bytes[i + 2]);
        if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80)
            continue;
        out += fromUtf8(bytes.sliced(runStart, i - runStart));
        out += QChar(char16_t(0xD000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F)));
        i += 2;
        runStart = i + 1;
    }
    out += fromUtf8(bytes.sliced(runStart));
    return out;
}

// The hash earlier versions recorded, 40 hexadecimal digits.
constexpr qsizetype sha1HexLength = 40;

QByteArray sha1Hex(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}
}   // namespace

QByteArray recoveryCopyHeader(const RecoveryCopy &copy)
{
    QByteArray out = formatLine + '\n';
    out += "page=" + escaped(copy.pagePath) + '\n';
    out += "definition=" + escaped(copy.definitionPath) + '\n';
    out += "index=" + QByteArray::number(copy.pageIndex) + '\n';
    out += "title=" + escaped(copy.title) + '\n';
    out += "encoding=" + encodingName(copy.encoding) + '\n';
    out += "hash=" + copy.pageHash + '\n';
    out += '\n';
    return out;
}

QByteArray formatRecoveryCopy(const RecoveryCopy &copy)
{
    return recoveryCopyHeader(copy) + textBytes(copy.text);
}

QByteArray recoveryTextBytes(const QString &raw)
{
    return textBytes(editorText::crLfText(raw));
}

std::optional<RecoveryCopy> parseRecoveryHeader(QByteArrayView head, qsizetype *textStart)
{
    const qsizetype headerEnd = head.indexOf(QByteArrayView("\n\n"));
    if (headerEnd < 0 || !head.startsWith(QByteArray(formatLine + '\n')))
        return std::nullopt;
    RecoveryCopy copy;
    bool hasEncoding = false;
    const QList<QByteArray> lines = head.first(headerEnd).toByteArray().split('\n');
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
    *textStart = headerEnd + 2;
    return copy;
}

QString recoveryCopyText(QByteArrayView textBytes)
{
    return textFrom(textBytes);
}

std::optional<RecoveryCopy> parseRecoveryCopy(QByteArrayView bytes)
{
    qsizetype textStart = 0;
    std::optional<RecoveryCopy> copy = parseRecoveryHeader(bytes, &textStart);
    if (copy)
        copy->text = textFrom(bytes.sliced(textStart));
    return copy;
}

qsizetype recoveryTextLines(QByteArrayView textBytes)
{
    return textBytes.count('\n') + 1;
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
