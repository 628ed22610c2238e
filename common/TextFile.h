#pragma once
// Reading and writing the program's text files: the code page is detected on reading
// and kept on writing, lines end at CR LF, CR or LF, and every write replaces the file
// atomically, so a crash or a full disk leaves the old file or the new one.

#include "common/TextCodec.h"

#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct TextFileContent {
    bool ok = false;
    QString text;   // the whole file, decoded
    TextEncoding encoding = TextEncoding::Cp932;
    QString error;   // why the file could not be read
};

// Reads an ordinary file (not a folder, device or pipe) and decodes it; `bytes`, when
// given, receives the file's bytes as read. A file larger than `sizeLimit` bytes (when
// given) is not read: the error names its size and the limit.
TextFileContent readTextFile(const QString &path, DetectMode mode = DetectMode::Plain, QByteArray *bytes = nullptr,
                             qint64 sizeLimit = -1);
// The two halves of readTextFile: the bytes of an ordinary file (nothing, with `error`
// saying why, when it cannot be read), and those bytes decoded in their code page. With a
// `sizeLimit`, a larger file is not read (its size is taken from the open file, before
// any byte is read), and `refusedSize` receives its size.
std::optional<QByteArray> readFileBytes(const QString &path, QString *error, qint64 sizeLimit = -1,
                                        qint64 *refusedSize = nullptr);
TextFileContent decodeFileBytes(QByteArrayView bytes, DetectMode mode);

// What a write does with a symbolic link at its path.
enum class LinkPolicy {
    WriteThrough,   // a link to a regular file is written through and stays a link
    Replace,        // the link itself is replaced by a fresh regular file; it is never followed
};

// Replaces the file at `path` with `bytes` in one atomic step, keeping its permission
// bits. An existing entry that is no regular file (a folder, device or pipe, or a link to
// one when links are written through) is refused. On failure the old file stays byte for
// byte and `error` says why.
bool writeFileAtomic(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                     LinkPolicy links = LinkPolicy::WriteThrough);

// The same write piece by piece, for a file too large to be formatted in memory at once:
// the pieces go into a temporary file beside `path`, which replaces the file only when
// committed. A writer destroyed without a commit leaves the old file as it was. After a
// failure every further call fails; error() says why.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString &path, LinkPolicy links = LinkPolicy::WriteThrough);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    bool write(QByteArrayView bytes);
    bool commit();
    const QString &error() const { return mError; }

private:
    QString mPath;
    LinkPolicy mLinks;
    std::unique_ptr<QFileDevice> mFile;   // a QSaveFile, or a fresh QFile renamed over the path
    QString mError;
    bool mCommitted = false;
};

// Calls `f(line)` for every line of `text`; a line ends at CR LF, at a lone CR or at a
// lone LF. A final line without terminator counts; a text that ends with a terminator
// has no empty line after it, and an empty text has no lines.
template<class F>
void forEachLine(QStringView text, F &&f)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        f(text.sliced(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        f(text.sliced(start));
}

QStringList splitLines(QStringView text);

// `text` with every line break written as CR LF: CR LF, a lone CR, a lone LF, and each
// character for which `isExtraBreak` holds. With `breakAfterLast` a last line without a
// break gets one (an empty text stays empty). A text already in that form is returned as
// it is, without a copy; otherwise the text is walked once. `breaks`, when given, receives
// the number of line breaks in the result, counted in the same walk.
QString withCrLfBreaks(const QString &text, bool breakAfterLast, bool (*isExtraBreak)(char16_t) = nullptr,
                       qsizetype *breaks = nullptr);

// The number of lines of the page whose bytes are `bytes`, when every line break in them is
// a CR LF pair and the last line ends in one (an empty page has none); nothing otherwise.
// A count tells without decoding that withCrLfBreaks(decodeDetected(bytes, ...), true)
// gives the text back unchanged, with that many lines: every decoding the program makes
// turns each CR and LF byte into that character and makes no other CR or LF. (A file of
// a byte-order mark alone gets no count, though its text is empty.) Sixteen bytes at a
// time where the processor allows.
std::optional<qsizetype> crLfLineCount(QByteArrayView bytes);

// The number of line feeds in `text`, counted eight characters at a time where the
// processor allows; `lastFeed`, when given, receives the index of the last one (-1 for none).
qsizetype lineFeedCount(QStringView text, qsizetype *lastFeed = nullptr);

// The index of the first `unit` in `text` from `from` on, or -1: eight characters at a time
// where the processor allows, and without the general search's setting up, for the many
// short searches of a tag reader.
qsizetype indexOfUnit(QStringView text, char16_t unit, qsizetype from);
