#pragma once
// Reading one page into the site: its text with every line ending in CR LF, its title and
// the targets of its links, as the site tree shows them.

#include "common/PageLimits.h"
#include "common/TextCodec.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct PageScan {
    bool readOk = false;           // false when the file could not be read (the rest is then empty)
    QString error;                 // why it could not be read
    qint64 tooLargeSize = -1;      // the file's size when it was refused as larger than maxPageBytes
    qsizetype tooManyLines = -1;   // the page's lines when it was refused for more than maxPageLines
    QString unreadableEncoding;    // the encoding it was refused for (see unreadableEncoding())
    QString Title;
    QStringList Links;   // index 0 holds nothing; links stand at 1 to the upper bound
    QString Text;
    TextEncoding Encoding = TextEncoding::Cp932;
    QByteArray FileHash;   // pageFileHash() of the file's bytes; empty when not read
};

// The targets of the page's links, in page order, with index 0 left empty. The search
// walks the page from position 1: it takes the first HREF value of the rest of the page,
// keeps it unless it is empty or begins with "#", and moves on by the value's closing
// quote position plus two (or by two when the value has no closing quote). Positions
// count UTF-16 units; a value that would begin with the second half of a character
// outside the Basic Multilingual Plane starts after it. Runs in time linear in the
// page's length.
QStringList scanLinks(QStringView text);

// Where each link of scanLinks(text) starts in `text` (index 0 holds nothing), so that
// its line can be told.
QList<qsizetype> scanLinkPlaces(QStringView text);

// The page's title: the text between its first TITLE tags, control characters removed;
// empty when it has none.
QString scanTitle(QStringView text);

// The same walk done literally, one search of the rest of the page per step. It is the
// yardstick the fast walk is checked against; its cost can grow with the square of the
// page's length.
QStringList scanLinksReference(QStringView text);

// Title, links and CR LF text of a page already decoded.
PageScan scanPageText(const QString &decoded);
// Reads the page file at `path` in its code page and scans it; a file that cannot be read,
// is larger than maxPageBytes or has more than maxPageLines lines, gives an empty page with
// readOk false.
PageScan scanPageFile(const QString &path);

// Scans the page files of a site ahead of the thread that takes them in page order, on a
// second thread, so that reading and decoding pages overlaps with making their editors.
// A taker whose page is still being scanned scans the next pages itself meanwhile.
class PageScanAhead
{
public:
    explicit PageScanAhead(QStringList paths);
    // Stops the scanning thread and waits for the page it is on.
    ~PageScanAhead();
    PageScanAhead(const PageScanAhead &) = delete;
    PageScanAhead &operator=(const PageScanAhead &) = delete;

    // The scan of paths[index]; each index is taken once.
    PageScan take(qsizetype index);

private:
    // Scans the first page nobody has claimed; false when every page is claimed.
    bool scanNext();

    const QStringList mPaths;
    std::vector<PageScan> mScans;
    std::unique_ptr<std::atomic<bool>[]> mScanned;
    std::atomic<qsizetype> mNext{0};
    std::atomic<bool> mStop{false};
    std::mutex mMutex;
    std::condition_variable mScannedOne;
    std::thread mWorker;
};
