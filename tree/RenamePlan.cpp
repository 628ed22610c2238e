#include "tree/RenamePlan.h"
#include "common/TextFile.h"
#include "editor/TextSearch.h"
#include "tree/LinkCheck.h"
#include "tree/LinkMove.h"

#include <QSet>

#include <algorithm>

using linkCheck::Base;
using linkMove::Context;
using pageRefs::Reference;

namespace renamePlan {

QString textBoxText(const PageText &page)
{
    return searchTextOf(page.snapshot);
}

qsizetype Plan::changeCount() const
{
    qsizetype n = 0;
    for (const FileChanges &f : files)
        n += f.changes.size();
    return n;
}

qsizetype Plan::brokenCount() const
{
    qsizetype n = 0;
    for (const FileChanges &f : files)
        n += f.broken.size();
    return n;
}

QList<textEdits::Edit> editsOf(const FileChanges &file)
{
    QList<textEdits::Edit> edits;
    edits.reserve(file.changes.size());
    for (const LinkChange &c : file.changes)
        edits.append({c.offset, c.length, c.after});
    std::sort(edits.begin(), edits.end(), [](const auto &a, const auto &b) { return a.offset < b.offset; });
    return edits;
}

QString changedText(const FileChanges &file)
{
    return textEdits::applied(file.text, editsOf(file));
}

namespace {
bool endsWithAny(QStringView path, std::initializer_list<const char16_t *> ends)
{
    return std::any_of(ends.begin(), ends.end(),
                       [&](const char16_t *e) { return path.endsWith(QStringView(e), Qt::CaseInsensitive); });
}

QString folderOf(const QString &path)
{
    return path.left(std::max<qsizetype>(path.lastIndexOf(u'/'), 0));
}

// The base that links in a file at `path` are read from.
Base baseOfFile(const QString &path)
{
    return linkCheck::baseOf(QString(folderOf(path) + u'/'));
}

QString nameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString textOf(QStringView text)
{
    return text.toString();
}

// A reference as read (Reference) or as found in place (FoundReference), kept in the list.
template<class Ref>
LinkChange changeOf(const Ref &ref, const QString &after = {})
{
    return LinkChange{ref.kind, ref.line, ref.offset, ref.length, textOf(ref.raw), after};
}

// Hands each reference of `html` to `each` as the reading finds it, without copying it.
void forEachReference(QStringView html, const std::function<void(const pageRefs::FoundReference &)> &each)
{
    QSet<QString> anchors;
    pageRefs::readPage(html, each, anchors);
}

class Planner
{
public:
    Planner(const QList<PageText> &pages, const QString &siteFolder, const QString &from, const QString &to,
            bool listOnly = false)
        : mListOnly(listOnly),
          mPages(pages),
          mSite(linkCheck::baseOf(siteFolder)),
          mOldBase(baseOfFile(from)),
          mNewBase(baseOfFile(to))
    {
        mPlan.from = from;
        mPlan.to = to;
        for (const PageText &p : pages)
            mPagePaths.insert(linkCheck::cleanFilePath(p.folder + p.fileName));
        mSheetsSeen.insert(from);
        mFromFolder = folderOf(from);
        mFromIsIndex = linkCheck::isIndexName(nameOf(from));
    }

    std::optional<Plan> run(const std::function<bool()> &cancelled)
    {
        QList<FileChanges> own;
        QList<FileChanges> others;
        for (const PageText &page : mPages) {
            if (cancelled && cancelled())
                return std::nullopt;
            const bool moved
                = !page.fileName.isEmpty() && linkCheck::cleanFilePath(page.folder + page.fileName) == mPlan.from;
            FileChanges file;
            file.page = page.snapshot.page;
            file.path = linkCheck::cleanFilePath(page.folder + page.fileName);
            file.moved = moved;
            const QString text = textBoxText(page);
            if (moved && mListOnly) {
                mPlan.movedPages << page.snapshot.page;
            } else if (moved) {
                mPlan.movedPages << page.snapshot.page;
                forEachReference(text, [&](const auto &ref) { ownReference(file, ref, Context::Html); });
            } else {
                const Base base = linkCheck::baseOf(page.folder);
                forEachReference(text, [&](const auto &ref) { otherReference(file, ref, base, Context::Html); });
            }
            keep(moved ? own : others, std::move(file));
        }
        if (mPlan.movedPages.isEmpty() && !mListOnly && !readMovedFile(own))
            return mPlan;
        mPlan.files = own + others;
        if (!readStyleSheets(cancelled))
            return std::nullopt;
        return std::move(mPlan);
    }

private:
    static void keep(QList<FileChanges> &files, FileChanges file)
    {
        if (!file.changes.isEmpty() || !file.broken.isEmpty())
            files << std::move(file);
    }

    // Whether the moved file, kept in its name, is what a link to its new folder finds.
    bool folderFormKept()
    {
        const QString name = nameOf(mPlan.to);
        if (name != nameOf(mPlan.from) || !linkCheck::isIndexName(name))
            return false;
        return name == u"index.html"
            || (name == u"index.htm"
                && mCache.entry(folderOf(mPlan.to) + u"/index.html") == linkCheck::FolderCache::Entry::None);
    }

    // What a link that led to the moved file leads to after the move.
    std::pair<QString, bool> movedTarget(bool asFolder)
    {
        if (asFolder && folderFormKept())
            return {folderOf(mPlan.to), true};
        return {mPlan.to, false};
    }

    linkCheck::Lookup lookUp(const QString &path, bool folder)
    {
        if (!folder && mPagePaths.contains(path))
            return {linkCheck::LinkState::Found, path, {}};
        return linkCheck::lookUp(linkCheck::LinkTarget{linkCheck::LinkKind::File, path, folder}, mCache);
    }

    static bool usable(QStringView address) { return !address.isEmpty() && !pageRefs::isNotAddress(address); }

    // A reference of the moved file itself, read from its old folder and from its new one.
    template<class Ref>
    void ownReference(FileChanges &out, const Ref &ref, Context context)
    {
        if (!usable(ref.address))
            return;
        const linkCheck::Resolved r = linkCheck::resolveInto(mBuffer, ref.address, mOldBase, mSite);
        if (r.kind != linkCheck::LinkKind::File)
            return;
        const linkCheck::Lookup found = lookUp(mBuffer, r.folder);
        if (found.broken()) {
            out.broken << changeOf(ref);
            return;
        }
        std::pair<QString, bool> target{mBuffer, r.folder};
        if (found.path == mPlan.from)
            target = movedTarget(r.folder);
        else if (ref.kind == pageRefs::Kind::StyleSheet)
            noteStyleSheet(found.path);
        if (const auto after
            = linkMove::rewritten(textOf(ref.raw), context, mNewBase, mSite, target.first, target.second))
            out.changes << changeOf(ref, *after);
    }

    // A reference of another file: written anew when it leads to the moved one.
    template<class Ref>
    void otherReference(FileChanges &out, const Ref &ref, const Base &base, Context context)
    {
        if (!usable(ref.address))
            return;
        const linkCheck::Resolved r = linkCheck::resolveInto(mBuffer, ref.address, base, mSite);
        if (r.kind != linkCheck::LinkKind::File)
            return;
        std::optional<std::pair<QString, bool>> target;
        if (!r.folder && mBuffer == mPlan.from) {
            target = movedTarget(false);
        } else if (!r.folder && mBuffer.size() == mPlan.from.size()
                   && mBuffer.compare(mPlan.from, Qt::CaseInsensitive) == 0) {
            const linkCheck::Lookup found = lookUp(mBuffer, false);
            if (found.state == linkCheck::LinkState::CaseDiffers && found.onDisk == mPlan.from)
                out.broken << changeOf(ref);
        } else if (r.folder && mFromIsIndex && mBuffer == mFromFolder && lookUp(mBuffer, true).path == mPlan.from) {
            target = movedTarget(true);
        } else if (ref.kind == pageRefs::Kind::StyleSheet && !r.folder) {
            noteStyleSheet(mBuffer);
        }
        if (!target)
            return;
        if (mListOnly) {
            out.changes << changeOf(ref);
            return;
        }
        if (const auto after
            = linkMove::rewritten(textOf(ref.raw), context, base, mSite, target->first, target->second))
            out.changes << changeOf(ref, *after);
    }

    void noteStyleSheet(const QString &path)
    {
        if (mSheetsSeen.contains(path) || mCache.entry(path) != linkCheck::FolderCache::Entry::File)
            return;
        mSheetsSeen.insert(path);
        mSheetQueue << path;
    }

    static bool readFile(FileChanges &file, DetectMode mode, QString *error)
    {
        TextFileContent content = readTextFile(file.path, mode, &file.bytes);
        if (!content.ok) {
            *error = content.error;
            return false;
        }
        file.text = std::move(content.text);
        file.encoding = content.encoding;
        return true;
    }

    // The moved file when it is no page: an HTML file or a style sheet has references of its own.
    bool readMovedFile(QList<FileChanges> &own)
    {
        const bool html = endsWithAny(mPlan.from, {u".htm", u".html"});
        if (!html && !endsWithAny(mPlan.from, {u".css"}))
            return true;
        FileChanges file;
        file.path = mPlan.from;
        file.moved = true;
        if (!readFile(file, html ? DetectMode::Page : DetectMode::Plain, &mPlan.error))
            return false;
        if (html)
            forEachReference(file.text, [&](const auto &ref) { ownReference(file, ref, Context::Html); });
        else
            for (const Reference &ref : pageRefs::readStyleSheet(file.text))
                ownReference(file, ref, Context::Css);
        keep(own, std::move(file));
        return true;
    }

    // Every style sheet the pages reach, and what those import: their references to the moved file.
    bool readStyleSheets(const std::function<bool()> &cancelled)
    {
        QList<FileChanges> sheets;
        while (!mSheetQueue.isEmpty()) {
            if (cancelled && cancelled())
                return false;
            FileChanges file;
            file.path = mSheetQueue.takeFirst();
            QString error;
            if (!readFile(file, DetectMode::Plain, &error))
                continue;   // the link check names a style sheet it cannot read
            const Base base = baseOfFile(file.path);
            for (const Reference &ref : pageRefs::readStyleSheet(file.text))
                otherReference(file, ref, base, Context::Css);
            keep(sheets, std::move(file));
        }
        std::sort(sheets.begin(), sheets.end(), [](const auto &a, const auto &b) { return a.path < b.path; });
        mPlan.files += sheets;
        return true;
    }

    const bool mListOnly;   // only the references to the file are listed, nothing is written anew
    const QList<PageText> &mPages;
    Base mSite;
    Base mOldBase;
    Base mNewBase;
    linkCheck::FolderCache mCache;
    QSet<QString> mPagePaths;
    QString mFromFolder;
    bool mFromIsIndex = false;
    QString mBuffer;   // reused from reference to reference
    QStringList mSheetQueue;
    QSet<QString> mSheetsSeen;
    Plan mPlan;
};
}   // namespace

std::optional<Plan> plan(const QList<PageText> &pages, const QString &siteFolder, const QString &from,
                         const QString &to, const std::function<bool()> &cancelled)
{
    return Planner(pages, siteFolder, from, to).run(cancelled);
}

std::optional<Plan> linksTo(const QList<PageText> &pages, const QString &siteFolder, const QString &path,
                            const std::function<bool()> &cancelled)
{
    return Planner(pages, siteFolder, path, path, true).run(cancelled);
}

}   // namespace renamePlan
