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

#include <QStringList>

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

// For resolving many links: a folder prepared once (a path without a trailing "/", "" for
// the root "/", "C:" for a drive's root, and the length of its root, which ".." never
// climbs above), and a link resolved into a buffer reused from link to link, so that a
// link that is found costs no copy of its path.
struct Base {
    bool usable = false;
    QString path;
    qsizetype rootLength = 0;
};
Base baseOf(QStringView folder);
struct Resolved {
    LinkKind kind = LinkKind::Empty;
    bool folder = false;   // the link names a folder; its index page is meant
};
// `folder` after one step of a link, as a browser takes it: "." and empty steps leave it,
// ".." climbs (never above its first `rootLength` characters), a name goes down.
void takeStep(QString &folder, QStringView step, qsizetype rootLength);
// Resolves `link` from `page` (a leading "/" from `site`) into `out` when it names a file.
Resolved resolveInto(QString &out, QStringView link, const Base &page, const Base &site);

// The folder that holds `path` ("/" and "C:/" for the roots' children); empty for a root.
QString parentOf(const QString &path);
// Whether `name` is a folder's index page, letter case ignored.
bool isIndexName(QStringView name);

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
    // The program wrote a file at `path`: the listings read so far learn it (and the
    // folders it made on the way). Returns the paths they did not know before.
    QStringList noteFile(const QString &path);

private:
    struct Listing {
        bool exists = false;
        QHash<QString, bool> isFolder;          // by exact name
        QHash<QString, QString> byFoldedName;   // filled on first use
        bool folded = false;
    };
    Listing &listing(QStringView folder);
    void noteEntry(const QString &path, bool folder, QStringList &made);
    static void foldName(Listing &listing, const QString &name);
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

    bool broken() const { return state == LinkState::Missing || state == LinkState::CaseDiffers; }
    friend bool operator==(const Lookup &, const Lookup &) = default;
};

Lookup lookUp(const LinkTarget &target, FolderCache &cache);
// Resolves and looks up link `link` (1 up) of page `page`.
Lookup lookUpLink(const QList<basSystem::PageRecord> &pages, qint32 page, qint32 link, const QString &siteFolder,
                  FolderCache &cache);

// The file of a page, as cleanFilePath gives it; empty for a page without one.
QString pagePath(const basSystem::PageRecord &page);

// Whether the file at `path` is one the add-page command offers: a hypertext or text file.
bool opensAsPage(const QString &path);

// The page whose file is `path` (as cleanFilePath gives it), or 0.
qint32 pageAtPath(const QList<basSystem::PageRecord> &pages, const QString &path);

}   // namespace linkCheck
