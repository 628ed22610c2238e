#include "tree/RenamePlan.h"
#include "common/TextFile.h"
#include "editor/EditorText.h"
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
    QString text = page.asFile ? textSearch::searchLines(editorText::documentText(page.text)) : page.text;
    for (const QList<textEdits::Edit> &edits : page.pending)
        text = textEdits::applied(text, edits);
    return text;
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

LinkChange changeOf(const Reference &ref, const QString &after = {})
{
    return LinkChange{ref.kind, ref.line, ref.offset, ref.length, ref.raw, after};
}

class Planner
{
public:
    Planner(const QList<PageText> &pages, const QString &siteFolder, const QString &from, const QString &to)
        : mPages(pages), mSite(linkCheck::baseOf(siteFolder)), mOldBase(baseOfFile(from)), mNewBase(baseOfFile(to))
    {
        mPlan.from = from;
        mPlan.to = to;
        for (const PageText &p : pages)
            mPagePaths.insert(linkCheck::cleanFilePath(p.folder + p.fileName));
        mSheetsSeen.insert(from);
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
            file.page = page.page;
            file.path = linkCheck::cleanFilePath(page.folder + page.fileName);
            file.moved = moved;
            const QList<Reference> refs = pageRefs::readPage(textBoxText(page)).refs;
            if (moved) {
                mPlan.movedPages << page.page;
                ownReferences(file, refs, Context::Html);
            } else {
                otherReferences(file, refs, linkCheck::baseOf(page.folder), Context::Html);
            }
            keep(moved ? own : others, std::move(file));
        }
        if (mPlan.movedPages.isEmpty() && !readMovedFile(own))
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

    bool usable(const Reference &ref) const { return !ref.address.isEmpty() && !pageRefs::isNotAddress(ref.address); }

    // The moved file's own references, from its old folder and from its new one.
    void ownReferences(FileChanges &out, const QList<Reference> &refs, Context context)
    {
        for (const Reference &ref : refs) {
            if (!usable(ref))
                continue;
            const linkCheck::Resolved r = linkCheck::resolveInto(mBuffer, ref.address, mOldBase, mSite);
            if (r.kind != linkCheck::LinkKind::File)
                continue;
            const linkCheck::Lookup found = lookUp(mBuffer, r.folder);
            if (found.broken()) {
                out.broken << changeOf(ref);
                continue;
            }
            std::pair<QString, bool> target{mBuffer, r.folder};
            if (found.path == mPlan.from)
                target = movedTarget(r.folder);
            else if (ref.kind == pageRefs::Kind::StyleSheet)
                noteStyleSheet(found.path);
            if (const auto after = linkMove::rewritten(ref.raw, context, mNewBase, mSite, target.first, target.second))
                out.changes << changeOf(ref, *after);
        }
    }

    // The references of another file that lead to the moved one.
    void otherReferences(FileChanges &out, const QList<Reference> &refs, const Base &base, Context context)
    {
        const QString fromFolder = folderOf(mPlan.from);
        const bool fromIsIndex = linkCheck::isIndexName(nameOf(mPlan.from));
        for (const Reference &ref : refs) {
            if (!usable(ref))
                continue;
            const linkCheck::Resolved r = linkCheck::resolveInto(mBuffer, ref.address, base, mSite);
            if (r.kind != linkCheck::LinkKind::File)
                continue;
            std::optional<std::pair<QString, bool>> target;
            if (!r.folder && mBuffer == mPlan.from) {
                target = movedTarget(false);
            } else if (!r.folder && mBuffer.size() == mPlan.from.size()
                       && mBuffer.compare(mPlan.from, Qt::CaseInsensitive) == 0) {
                const linkCheck::Lookup found = lookUp(mBuffer, false);
                if (found.state == linkCheck::LinkState::CaseDiffers && found.onDisk == mPlan.from)
                    out.broken << changeOf(ref);
            } else if (r.folder && fromIsIndex && mBuffer == fromFolder && lookUp(mBuffer, true).path == mPlan.from) {
                target = movedTarget(true);
            } else if (ref.kind == pageRefs::Kind::StyleSheet && !r.folder) {
                noteStyleSheet(mBuffer);
            }
            if (!target)
                continue;
            if (const auto after = linkMove::rewritten(ref.raw, context, base, mSite, target->first, target->second))
                out.changes << changeOf(ref, *after);
        }
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
        ownReferences(file, html ? pageRefs::readPage(file.text).refs : pageRefs::readStyleSheet(file.text),
                      html ? Context::Html : Context::Css);
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
            otherReferences(file, pageRefs::readStyleSheet(file.text), baseOfFile(file.path), Context::Css);
            keep(sheets, std::move(file));
        }
        std::sort(sheets.begin(), sheets.end(), [](const auto &a, const auto &b) { return a.path < b.path; });
        mPlan.files += sheets;
        return true;
    }

    const QList<PageText> &mPages;
    Base mSite;
    Base mOldBase;
    Base mNewBase;
    linkCheck::FolderCache mCache;
    QSet<QString> mPagePaths;
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

}   // namespace renamePlan
