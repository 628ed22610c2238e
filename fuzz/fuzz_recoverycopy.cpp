// The recovery-copy reader. Any bytes are read without harm, and reading the header and
// then the text apart gives what reading them whole gives. A copy is built from the
// input's parts (before the first NUL: the header's texts, split at \x01; after it: the
// text as UTF-16 code units, lone surrogates and all) and written by a plain step-by-step
// writer of the format: the program reads it back to the same parts, writes the same
// bytes, and counts its lines as a plain count of line feeds does. The same text taken as
// an editor's raw text gives the same bytes whole and cut after its line breaks.
#include "FuzzSupport.h"
#include "editor/RecoveryCopy.h"

namespace {
void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// UTF-8 one code unit at a time; a surrogate without its partner as its own three bytes.
QByteArray plainText(const QString &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        const bool pair = u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text.at(i + 1).unicode() >= 0xDC00
            && text.at(i + 1).unicode() < 0xE000;
        if (pair)
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text.at(++i).unicode() - 0xDC00));
        else
            appendUtf8(out, u);
    }
    return out;
}

QByteArray plainValue(const QString &value)
{
    QByteArray out;
    for (char c : value.toUtf8())
        out += c == '\\' ? QByteArray("\\\\")
            : c == '\r'  ? QByteArray("\\r")
            : c == '\n'  ? QByteArray("\\n")
                         : QByteArray(1, c);
    return out;
}

QByteArray plainCopy(const RecoveryCopy &copy)
{
    static const char *const encodings[] = {"cp932", "utf-8", "utf-8-bom"};
    return "pageKiln recovery copy 1\npage=" + plainValue(copy.pagePath)
        + "\ndefinition=" + plainValue(copy.definitionPath) + "\nindex=" + QByteArray::number(copy.pageIndex)
        + "\ntitle=" + plainValue(copy.title) + "\nencoding=" + encodings[int(copy.encoding)]
        + "\nhash=" + copy.pageHash + "\n\n" + plainText(copy.text);
}

QString codeUnits(const QByteArray &bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8));
    return text;
}

bool sameCopy(const RecoveryCopy &a, const RecoveryCopy &b)
{
    return a.pagePath == b.pagePath && a.definitionPath == b.definitionPath && a.pageIndex == b.pageIndex
        && a.title == b.title && a.encoding == b.encoding && a.pageHash == b.pageHash && a.text == b.text;
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const std::optional<RecoveryCopy> whole = parseRecoveryCopy(bytes);
    qsizetype textStart = 0;
    std::optional<RecoveryCopy> apart
        = parseRecoveryHeader(bytes.first(std::min(bytes.size(), maxCopyHeaderBytes)), &textStart);
    if (apart)
        apart->text = recoveryCopyText(QByteArrayView(bytes).sliced(textStart));
    FUZZ_CHECK(whole.has_value() == apart.has_value() || bytes.indexOf("\n\n") >= maxCopyHeaderBytes);
    FUZZ_CHECK(!whole || !apart || sameCopy(*whole, *apart));

    const auto [head, tail] = splitAtNul(bytes);
    const QList<QByteArray> fields = head.split('\x01');
    RecoveryCopy copy;
    copy.pagePath = QString::fromUtf8(fields.value(0));
    copy.definitionPath = QString::fromUtf8(fields.value(1));
    copy.title = QString::fromUtf8(fields.value(2));
    copy.pageHash = fields.value(3).toHex();
    copy.pageIndex = qint32(size) - 100;
    copy.encoding = TextEncoding(size % 3);
    copy.text = codeUnits(tail);
    const QByteArray written = plainCopy(copy);
    const std::optional<RecoveryCopy> back = parseRecoveryCopy(written);
    FUZZ_CHECK(back && sameCopy(*back, copy));
    FUZZ_CHECK(formatRecoveryCopy(copy) == written);
    const QByteArray textBytes = plainText(copy.text);
    FUZZ_CHECK(recoveryTextLines(textBytes) == textBytes.count('\n') + 1);

    QByteArray pieces;
    for (qsizetype from = 0; from < copy.text.size();) {
        const qsizetype cut = copy.text.indexOf(QChar(QChar::ParagraphSeparator), from);
        const qsizetype end = cut < 0 ? copy.text.size() : cut + 1;
        pieces += recoveryTextBytes(copy.text.sliced(from, end - from));
        from = end;
    }
    FUZZ_CHECK(pieces == recoveryTextBytes(copy.text));
    return 0;
}
