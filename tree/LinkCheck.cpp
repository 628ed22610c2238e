#include "tree/LinkCheck.h"
#include "common/TextHelpers.h"
#include "common/TextCodec.h"
#include "common/TextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

using basSystem::PageRecord;

namespace linkCheck {

namespace {
const QString indexNames[] = {QStringLiteral("index.html"), QStringLiteral("index.htm")};

bool isSlash(QChar c)
{
    return c == u'/' || c == u'\\';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isSchemeChar(QChar c)
{
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

// The length of a leading "scheme:", 0 when there is none.
qsizetype schemeLength(QStringView s)
{
    if (s.isEmpty() || !isAsciiLetter(s.front()))
        return 0;
    for (qsizetype i = 1; i < s.size(); ++i) {
        if (s[i] == u':')
            return i + 1;
        if (!isSchemeChar(s[i]))
            return 0;
    }
    return 0;
}

}   // namespace

void takeStep(QString &folder, QStringView step, qsizetype rootLength)
{
    if (step.isEmpty() || step == u".")
        return;
    if (step == u"..") {
        if (const qsizetype cut = folder.lastIndexOf(u'/'); cut >= rootLength)
            folder.truncate(cut);
        return;
    }
    folder += u'/';
    folder += step;
}

namespace {

// Appends the steps of `steps` to `out`: "." and empty steps dropped, ".." taking the
// last one back (never above the root), escapes decoded when `decode` is set.
void appendSteps(QString &out, qsizetype rootLength, QStringView steps, bool decode)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i <= steps.size(); ++i) {
        if (i < steps.size() && !isSlash(steps[i]))
            continue;
        QStringView step = steps.mid(start, i - start);
        start = i + 1;
        QString decoded;
        if (decode && indexOfUnit(step, u'%', 0) >= 0) {
            decoded = decodePercent(step);
            step = decoded;
        }
        takeStep(out, step, rootLength);
    }
}

// The length of the root of an absolute path ("/": 0, "C:/": 2); -1 for a relative path.
qsizetype rootLengthOf(QStringView path)
{
    if (!path.isEmpty() && isSlash(path.front()))
        return 0;
    if (path.size() >= 3 && isAsciiLetter(path[0]) && path[1] == u':' && isSlash(path[2]))
        return 2;
    return -1;
}

QString childPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

// Where the folder part of an absolute path ends ("/" and "C:/" for the roots' children).
qsizetype folderLength(QStringView path, qsizetype slash)
{
    return (slash == 0 || (slash == 2 && path[1] == u':')) ? slash + 1 : slash;
}

// A key for looking up a hash of texts without copying the text.
QString borrowed(QStringView text)
{
    return QString::fromRawData(text.data(), text.size());
}
}   // namespace

Base baseOf(QStringView folder)
{
    const qsizetype root = rootLengthOf(folder);
    if (root < 0)
        return {};
    Base base{true, folder.left(root).toString(), root};
    appendSteps(base.path, root, folder.mid(root), false);
    return base;
}

QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return (slash < 0 || slash + 1 == path.size()) ? QString() : path.left(folderLength(path, slash));
}

bool isIndexName(QStringView name)
{
    for (const QString &index : indexNames)
        if (name.compare(index, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

Resolved resolveInto(QString &out, QStringView link, const Base &page, const Base &site)
{
    const QStringView s = link.trimmed();
    if (s.isEmpty())
        return {};
    if (s.front() == u'#' || s.front() == u'?')
        return {LinkKind::SamePage, false};
    if (s.size() >= 2 && isSlash(s[0]) && isSlash(s[1]))
        return {LinkKind::External, false};
    const qsizetype scheme = schemeLength(s);
    const bool drive = scheme == 2 && s.size() > 2 && isSlash(s[2]);
    if (scheme > 0 && !drive)
        return {LinkKind::External, false};
    qsizetype end = 0;
    while (end < s.size() && s[end] != u'?' && s[end] != u'#')
        ++end;
    const QStringView path = s.left(end);
    const Base fromRoot{true, QString(), 0};
    const Base &base = drive    ? Base{true, path.left(2).toString(), 2}
        : isSlash(path.front()) ? (site.usable ? site : fromRoot)
                                : page;
    if (!base.usable)
        return {};
    // The caller mostly keeps the last path it got (sharing it): one new allocation, with
    // room for every step.
    out.clear();
    out.reserve(base.path.size() + path.size() + 1);
    out += base.path;
    appendSteps(out, base.rootLength, drive ? path.mid(2) : path, true);
    if (out.size() == base.rootLength)
        out += u'/';
    const QStringView last = path.mid(path.lastIndexOf(u'/') + 1);
    const bool folder
        = isSlash(path.back()) || last == u"." || last == u".." || path.endsWith(u"\\..") || path.endsWith(u"\\.");
    return {LinkKind::File, folder};
}

namespace {
LinkTarget resolveFrom(QStringView link, const Base &page, const Base &site)
{
    QString path;
    const Resolved r = resolveInto(path, link, page, site);
    return {r.kind, r.kind == LinkKind::File ? path : QString(), r.folder};
}

Lookup missingOrCase(const QString &path, FolderCache &cache)
{
    const QString onDisk = cache.pathIgnoringCase(path);
    if (!onDisk.isEmpty())
        return {LinkState::CaseDiffers, path, onDisk};
    return {LinkState::Missing, path, {}};
}
}   // namespace

QString decodePercent(QStringView text)
{
    if (!text.contains(u'%'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    QByteArray run;
    auto flush = [&] {
        if (run.isEmpty())
            return;
        out += isValidUtf8(run) ? QString::fromUtf8(run) : decodeText(run, TextEncoding::Cp932);
        run.clear();
    };
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u'%' && i + 2 < text.size() && basSystem::hexDigitValue(text[i + 1].unicode()) >= 0
            && basSystem::hexDigitValue(text[i + 2].unicode()) >= 0) {
            run.append(char(basSystem::hexDigitValue(text[i + 1].unicode()) * 16
                            + basSystem::hexDigitValue(text[i + 2].unicode())));
            i += 3;
            continue;
        }
        flush();
        out += text[i];
        ++i;
    }
    flush();
    return out;
}

LinkTarget resolveLink(QStringView link, QStringView pageFolder, QStringView siteFolder)
{
    return resolveFrom(link, baseOf(pageFolder), baseOf(siteFolder));
}

QString cleanFilePath(const QString &path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

FolderCache::Listing &FolderCache::listing(QStringView folder)
{
    if (mLast && folder == mLastFolder)
        return *mLast;
    if (const auto it = mFolders.constFind(borrowed(folder)); it != mFolders.cend()) {
        mLastFolder = it.key();
        mLast = *it;
        return **it;
    }
    auto read = std::make_unique<Listing>();
    const QString name = folder.toString();
    read->exists = QFileInfo(name).isDir();
    QDirIterator dir(name, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (dir.hasNext()) {
        dir.next();
        read->isFolder.insert(dir.fileName(), dir.fileInfo().isDir());
    }
    mLastFolder = name;
    mLast = read.get();
    mFolders.insert(name, read.get());
    mStore.push_back(std::move(read));
    return *mLast;
}

FolderCache::Entry FolderCache::entry(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return Entry::None;
    const QStringView name = QStringView(path).mid(slash + 1);
    if (name.isEmpty())
        return Entry::Folder;   // a root
    const Listing &l = listing(QStringView(path).left(folderLength(path, slash)));
    const auto it = l.isFolder.constFind(borrowed(name));
    return it == l.isFolder.cend() ? Entry::None : (*it ? Entry::Folder : Entry::File);
}

QString FolderCache::pathIgnoringCase(const QString &path)
{
    if (const auto it = mIgnoringCase.constFind(path); it != mIgnoringCase.cend())
        return *it;
    if (const auto it = mFolders.constFind(path); it != mFolders.cend() && (*it)->exists)
        return path;   // a folder already read, as named
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString name = path.mid(slash + 1);
    QString found;
    if (slash < 0 || name.isEmpty()) {
        found = path;   // a root
    } else if (const QString parent = pathIgnoringCase(parentOf(path)); !parent.isEmpty()) {
        Listing &l = listing(parent);
        if (!l.folded) {
            for (auto it = l.isFolder.cbegin(); it != l.isFolder.cend(); ++it)
                foldName(l, it.key());
            l.folded = true;
        }
        if (l.isFolder.contains(name))
            found = childPath(parent, name);
        else if (const auto f = l.byFoldedName.constFind(name.toCaseFolded()); f != l.byFoldedName.cend())
            found = childPath(parent, *f);
    }
    mIgnoringCase.insert(path, found);
    return found;
}

// Of two names that differ only in letter case, the first in code order stands for both,
// however the listing came to hold them.
void FolderCache::foldName(Listing &listing, const QString &name)
{
    QString &entry = listing.byFoldedName[name.toCaseFolded()];
    if (entry.isEmpty() || name < entry)
        entry = name;
}

QStringList FolderCache::noteFile(const QString &path)
{
    QStringList made;
    noteEntry(cleanFilePath(path), false, made);
    if (!made.isEmpty())
        mIgnoringCase.clear();
    return made;
}

void FolderCache::noteEntry(const QString &path, bool folder, QStringList &made)
{
    const QString parent = parentOf(path);
    const auto it = mFolders.constFind(parent);
    if (parent.isEmpty() || it == mFolders.cend())
        return;   // a folder never read is read as it is when first looked into
    Listing &l = **it;
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (l.isFolder.contains(name))
        return;
    l.isFolder.insert(name, folder);
    if (l.folded)
        foldName(l, name);
    made << path;
    if (!l.exists) {
        l.exists = true;
        noteEntry(parent, true, made);
    }
}

Lookup lookUp(const LinkTarget &target, FolderCache &cache)
{
    if (target.kind != LinkKind::File)
        return {};
    if (!target.folder) {
        switch (cache.entry(target.path)) {
        case FolderCache::Entry::File: return {LinkState::Found, target.path, {}};
        case FolderCache::Entry::None: return missingOrCase(target.path, cache);
        case FolderCache::Entry::Folder: break;   // its index page is meant
        }
    }
    for (const QString &name : indexNames)
        if (const QString path = childPath(target.path, name); cache.entry(path) == FolderCache::Entry::File)
            return {LinkState::Found, path, {}};
    for (const QString &name : indexNames)
        if (const Lookup l = missingOrCase(childPath(target.path, name), cache); l.state == LinkState::CaseDiffers)
            return l;
    return {LinkState::Missing, childPath(target.path, indexNames[0]), {}};
}

Lookup lookUpLink(const QList<PageRecord> &pages, qint32 page, qint32 link, const QString &siteFolder,
                  FolderCache &cache)
{
    if (page < 1 || page >= pages.size() || link < 1 || link >= pages.at(page).Links.size())
        return {};
    const PageRecord &p = pages.at(page);
    return lookUp(resolveLink(p.Links.at(link), p.Folder, siteFolder), cache);
}

QString pagePath(const PageRecord &page)
{
    return page.FileName.isEmpty() ? QString() : cleanFilePath(page.Folder + page.FileName);
}

bool opensAsPage(const QString &path)
{
    for (const char16_t *ext : {u".htm", u".html", u".txt"})
        if (path.endsWith(QStringView(ext), Qt::CaseInsensitive))
            return true;
    return false;
}

qint32 pageAtPath(const QList<PageRecord> &pages, const QString &path)
{
    for (qint32 p = 1; p < pages.size(); ++p)
        if (pagePath(pages.at(p)) == path)
            return p;
    return 0;
}

}   // namespace linkCheck
