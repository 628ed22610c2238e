#pragma once
// Where the links of a site's pages lead, judged against the files on disk as a browser
// would find them: a link is resolved against its page's folder (".", "..", a query or a
// fragment removed, percent-escapes decoded, a trailing "/" naming the folder's index
// page) and its target looked up in directory listings read once per folder. External
// addresses (any "scheme:", "//host"), fragments of the page itself and empty links are
// not checked. A link that leaves the site's folder is checked like any other.
//
// A file name that matches a link only when letter case is ignored counts as missing: it
// works on a case-insensitive disk and breaks on a web server.

#include "site/SiteRecords.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

namespace linkCheck {

enum class LinkKind {
    Empty,      // nothing to follow
    SamePage,   // "#part" or "?query": the page itself
    External,   // another scheme or host
    File,       // a file on disk
};

struct LinkTarget {
    LinkKind kind = LinkKind::Empty;
    QString path;          // File: absolute path with "/" separators, no trailing "/"
    bool folder = false;   // File: the link names a folder; its index page is meant
};

// Resolves `link` against `pageFolder` (where the linking page lies); a link beginning
// with "/" is taken from `siteFolder` (the site's root on the server), or from the disk's
// root when the site has no folder. A page without a folder resolves nothing.
LinkTarget resolveLink(QStringView link, QStringView pageFolder, QStringView siteFolder);

// Decodes "%XX" escapes: each run of escapes as UTF-8 when it is valid UTF-8, otherwise
// as code page 932 (Shift-JIS escapes written by older tools); malformed escapes stay.
QString decodePercent(QStringView text);

// The same path written as a page's folder and file name are: "/" separators, "." and
// ".." steps and doubled separators removed.
QString cleanFilePath(const QString &path);

// Directory listings, each folder read at most once.
class FolderCache
{
public:
    enum class Entry { None, File, Folder };
    // What `path` names, from the listing of its folder.
    Entry entry(const QString &path);
    // The path on disk whose every step matches `path`'s when letter case is ignored;
    // empty when there is none.
    QString pathIgnoringCase(const QString &path);
    qsizetype listingsRead() const { return mFolders.size(); }

private:
    struct Listing {
        bool exists = false;
        QHash<QString, bool> isFolder;          // by exact name
        QHash<QString, QString> byFoldedName;   // filled on first use
    };
    Listing &listing(QStringView folder);
    QHash<QString, Listing *> mFolders;
    std::vector<std::unique_ptr<Listing>> mStore;
    QString mLastFolder;   // the folder looked into last, and its listing
    Listing *mLast = nullptr;
    QHash<QString, QString> mIgnoringCase;
};

enum class LinkState { NotChecked, Found, Missing, CaseDiffers };

// What one link leads to.
struct Lookup {
    LinkState state = LinkState::NotChecked;
    QString path;     // Found: the file found; Missing, CaseDiffers: the path looked for
    QString onDisk;   // CaseDiffers: the file whose name differs only in letter case
};

Lookup lookUp(const LinkTarget &target, FolderCache &cache);
// Resolves and looks up link `link` (1 up) of page `page`.
Lookup lookUpLink(const QList<basSystem::PageRecord> &pages, qint32 page, qint32 link, const QString &siteFolder,
                  FolderCache &cache);

// The outcome for a whole site: its broken links and how often each page is linked to.
struct SiteLinks {
    QHash<quint64, Lookup> broken;   // Missing and CaseDiffers, by key(page, link)
    QList<qint32> linkedFrom;        // by page: how many other pages link to it
    qsizetype listingsRead = 0;

    static quint64 key(qint32 page, qint32 link) { return (quint64(quint32(page)) << 32) | quint32(link); }
    const Lookup *brokenLink(qint32 page, qint32 link) const;
};

// Checks every link of pages 1 up (index 0 is a placeholder), in time linear in the
// links' total length, with one directory listing per folder looked into.
SiteLinks checkSite(const QList<basSystem::PageRecord> &pages, const QString &siteFolder);

// Whether the file at `path` is one the add-page command offers: a hypertext or text file.
bool opensAsPage(const QString &path);

// The page whose file is `path` (as cleanFilePath gives it), or 0.
qint32 pageAtPath(const QList<basSystem::PageRecord> &pages, const QString &path);

// The rows of the site check: broken links, pages no other page links to, and links to
// a file whose name differs only in letter case.
struct ReportRow {
    enum class Kind { Broken, Unlinked, CaseDiffers };
    Kind kind = Kind::Broken;
    qint32 page = 0;
    QString link;     // the link as written; empty for Unlinked
    QString target;   // the path looked for; the page's file for Unlinked
    QString onDisk;   // CaseDiffers: the file on disk
};

// The first page and an index page in the site's folder are where visitors come in: they
// are not reported as unlinked, nor is a page without a file.
QList<ReportRow> siteReport(const QList<basSystem::PageRecord> &pages, const SiteLinks &links,
                            const QString &siteFolder);

}   // namespace linkCheck
