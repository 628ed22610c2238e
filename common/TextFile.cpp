#include "common/TextFile.h"
#include "common/CommonTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// Reads an open file to its end into a buffer presized to `size`, so that a file of the
// size fstat() gave takes one read; a file that grows meanwhile is read on to its end.
bool readToEnd(int fd, qint64 size, QByteArray &bytes)
{
    bytes.resize(qsizetype(size) + 1);   // the byte beyond the size notices a file that grew
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return true;
}

// Closes the descriptor at the end of a scope.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};
}   // namespace

std::optional<QByteArray> readFileBytes(const QString &path, QString *error, qint64 sizeLimit, qint64 *refusedSize)
{
    // One open and one fstat() per file: a site of thousands of pages reads thousands of
    // them. O_NONBLOCK keeps a pipe from blocking the open; it is refused below.
    const FileDescriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    struct stat status { };
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0) {
        *error = errno == ENOENT ? QStringLiteral("file not found") : qt_error_string(errno);
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        *error = QStringLiteral("not an ordinary file");
        return std::nullopt;
    }
    if (sizeLimit >= 0 && status.st_size > sizeLimit) {
        *error = commonTexts::fileTooLarge(status.st_size, sizeLimit);
        if (refusedSize)
            *refusedSize = status.st_size;
        return std::nullopt;
    }
    QByteArray bytes;
    if (!readToEnd(file.fd, status.st_size, bytes)) {
        *error = qt_error_string(errno);
        return std::nullopt;
    }
    return bytes;
}

TextFileContent decodeFileBytes(QByteArrayView bytes, DetectMode mode)
{
    TextFileContent content;
    content.text = decodeDetected(bytes, mode, content.encoding);
    content.ok = true;
    return content;
}

TextFileContent readTextFile(const QString &path, DetectMode mode, QByteArray *bytesRead, qint64 sizeLimit)
{
    TextFileContent content;
    std::optional<QByteArray> bytes = readFileBytes(path, &content.error, sizeLimit);
    if (!bytes)
        return content;
    content = decodeFileBytes(*bytes, mode);
    if (bytesRead)
        *bytesRead = std::move(*bytes);
    return content;
}

namespace {
bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// Why the entry at `path` must not be replaced; empty when it may.
QString refusal(const QString &path, LinkPolicy links)
{
    const QFileInfo entry(path);
    if (entry.isSymLink() && links == LinkPolicy::Replace)
        return QString();
    // exists() and isFile() look through links: a link to a device is refused like the device.
    if (entry.exists() && !entry.isFile())
        return QStringLiteral("not a regular file");
    return QString();
}

// A name beside `path` that no file has yet: six random letters and digits appended.
QString freshName(const QString &path)
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = path + QLatin1Char('.');
    for (int i = 0; i < 6; ++i)
        name += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]);
    return name;
}
}   // namespace

// Every write goes to the system at once (unbuffered): a buffered write that a full disk
// cuts short reports no reason, and the user is to be told one.
AtomicFileWriter::AtomicFileWriter(const QString &path, LinkPolicy links) : mPath(path), mLinks(links)
{
    mError = refusal(path, links);
    if (!mError.isEmpty())
        return;
    if (links == LinkPolicy::WriteThrough) {
        mFile = std::make_unique<QSaveFile>(path);
        if (!mFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            mError = mFile->errorString();
        return;
    }
    // A fresh file beside `path`, renamed over it: rename() replaces a link at `path` rather
    // than the file the link points to. Opening it as new never follows a link either.
    const QFile::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    for (;;) {
        auto fresh = std::make_unique<QFile>(freshName(path));
        if (fresh->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, ownerOnly)) {
            mFile = std::move(fresh);
            return;
        }
        if (!fresh->exists()) {
            mError = fresh->errorString();
            return;
        }
    }
}

AtomicFileWriter::~AtomicFileWriter()
{
    // QSaveFile removes its own temporary file when not committed.
    if (mFile && mLinks == LinkPolicy::Replace && !mCommitted)
        static_cast<QFile &>(*mFile).remove();
}

bool AtomicFileWriter::write(QByteArrayView bytes)
{
    if (!mError.isEmpty())
        return false;
    // A write cut short is tried again with the rest, which then fails with the system's reason.
    while (!bytes.isEmpty()) {
        const qint64 written = mFile->write(bytes.data(), bytes.size());
        if (written <= 0) {
            mError = mFile->errorString();
            return false;
        }
        bytes = bytes.sliced(written);
    }
    return true;
}

bool AtomicFileWriter::commit()
{
    if (!mError.isEmpty())
        return false;
    if (mLinks == LinkPolicy::WriteThrough) {
        if (!static_cast<QSaveFile &>(*mFile).commit())
            mError = mFile->errorString();
        return mError.isEmpty();
    }
    mFile->close();
    if (mFile->error() != QFileDevice::NoError) {
        mError = mFile->errorString();
        return false;
    }
    const QString fresh = static_cast<QFile &>(*mFile).fileName();
    if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(mPath).constData()) != 0) {
        mError = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    mCommitted = true;
    return true;
}

bool writeFileAtomic(const QString &path, const QByteArray &bytes, QString *error, LinkPolicy links)
{
    AtomicFileWriter file(path, links);
    if (file.write(bytes) && file.commit())
        return true;
    return fail(error, file.error());
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    forEachLine(text, [&](QStringView line) { lines << line.toString(); });
    return lines;
}

namespace {
// The length of a start of the text that holds no line break other than whole CR LF
// pairs (never ending between the two), found eight characters at a time where the
// processor allows; 0 elsewhere. In each block the line feeds must stand exactly one
// place after the carriage returns, the last block's final CR carried into the next.
qsizetype regularPrefix(const char16_t *s, qsizetype n, qsizetype &breaks)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(u'\r'), lf = _mm_set1_epi16(u'\n');
    unsigned carry = 0;   // 1 when the block before ended with a CR
    for (; i + 8 <= n; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        const unsigned crs = unsigned(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(block, cr), block))) & 0xFF;
        const unsigned lfs = unsigned(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(block, lf), block))) & 0xFF;
        if (lfs != (((crs << 1) | carry) & 0xFF))
            break;
        if (lfs)   // most blocks hold none
            breaks += std::popcount(lfs);
        carry = crs >> 7;
    }
    i -= carry;   // a CR whose line feed was not seen yet is left to the caller
#else
    Q_UNUSED(s);
    Q_UNUSED(n);
    Q_UNUSED(breaks);
#endif
    return i;
}

// The index of the first line break that is not a CR LF pair, -1 when there is none;
// `breaks` receives the number of CR LF pairs before it.
qsizetype firstIrregularBreak(const char16_t *s, qsizetype n, bool (*isExtraBreak)(char16_t), qsizetype &breaks)
{
    breaks = 0;
    for (qsizetype i = isExtraBreak ? 0 : regularPrefix(s, n, breaks); i < n; ++i) {
        const char16_t c = s[i];
        if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n')
            ++i, ++breaks;
        else if (c == u'\r' || c == u'\n' || (isExtraBreak && isExtraBreak(c)))
            return i;
    }
    return -1;
}
}   // namespace

std::optional<qsizetype> crLfLineCount(QByteArrayView bytes)
{
    const char *s = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype lines = 0;
    qsizetype i = 0;
#if defined(__SSE2__)
    // In each block the line feeds must stand exactly one place after the carriage returns,
    // the block before's last CR carried in; most blocks hold neither.
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    unsigned carry = 0;   // 1 when the block before ended with a CR
    for (; i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        const unsigned crs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr)));
        const unsigned lfs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf)));
        if ((crs | lfs | carry) == 0)
            continue;
        if (lfs != (((crs << 1) | carry) & 0xFFFF))
            return std::nullopt;
        lines += std::popcount(lfs);
        carry = crs >> 15;
    }
    i -= carry;   // a CR whose line feed is in the rest
#endif
    for (; i < n; ++i) {
        if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n')
            ++i, ++lines;
        else if (s[i] == '\r' || s[i] == '\n')
            return std::nullopt;
    }
    if (n > 0 && s[n - 1] != '\n')
        return std::nullopt;
    return lines;
}

QString withCrLfBreaks(const QString &text, bool breakAfterLast, bool (*isExtraBreak)(char16_t), qsizetype *breaks)
{
    const auto *s = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype written = 0;   // the line breaks of the result
    const qsizetype first = firstIrregularBreak(s, n, isExtraBreak, written);
    const bool lastOpen = breakAfterLast && n > 0 && s[n - 1] != u'\n' && s[n - 1] != u'\r'
        && !(isExtraBreak && isExtraBreak(s[n - 1]));
    if (first < 0 && !lastOpen) {
        if (breaks)
            *breaks = written;
        return text;
    }
    QString out;
    out.reserve(n + n / 16 + 2);
    qsizetype run = 0;   // the start of the characters not yet copied
    for (qsizetype i = first < 0 ? n : first; i < n; ++i) {
        const char16_t c = s[i];
        if (c != u'\r' && c != u'\n' && !(isExtraBreak && isExtraBreak(c)))
            continue;
#ifdef PAGEKILN_MUTANT_LONE_CR   // a planted fault for the fuzz oracles: a lone CR ends no line
        if (c == u'\r' && !(i + 1 < n && s[i + 1] == u'\n'))
            continue;
#endif
        out.append(QStringView(s + run, i - run));
        out.append(QLatin1String("\r\n"));
        ++written;
        if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n')
            ++i;
        run = i + 1;
#ifdef PAGEKILN_MUTANT_LINE_START   // a planted fault: every line after the first loses its first character
        if (run < n && s[run] != u'\r' && s[run] != u'\n')
            ++run;
#endif
    }
    out.append(QStringView(s + run, n - run));
    if (lastOpen) {
        out.append(QLatin1String("\r\n"));
        ++written;
    }
    if (breaks)
        *breaks = written;
    return out;
}

qsizetype lineFeedCount(QStringView text, qsizetype *lastFeed)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    qsizetype count = 0;
    qsizetype last = -1;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi16(u'\n');
    for (; i + 8 <= n; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, lf))) {   // most blocks hold none
            count += std::popcount(unsigned(mask)) / 2;
            last = i + (31 - std::countl_zero(unsigned(mask))) / 2;   // two bits a character
        }
    }
#endif
    for (; i < n; ++i) {
        if (s[i] == u'\n') {
            ++count;
            last = i;
        }
    }
    if (lastFeed)
        *lastFeed = last;
    return count;
}

qsizetype indexOfUnit(QStringView text, char16_t unit, qsizetype from)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = std::max<qsizetype>(from, 0);
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(unit));
    for (; i + 8 <= n; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, wanted)))
            return i + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    for (; i < n; ++i)
        if (s[i] == unit)
            return i;
    return -1;
}
