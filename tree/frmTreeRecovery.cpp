// The site tree's offer to restore unsaved text that a crash, a kill or the end of the
// session left in the recovery folder.

#include "app/basSystem.h"
#include "editor/EditorTexts.h"
#include "editor/RecoveryStore.h"
#include "editor/frmChild1.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "site/SiteCommands.h"
#include "site/SiteTexts.h"
#include "tree/frmTree.h"

#include <QDir>
#include <QFile>
#include <QSet>

using namespace basSystem;

namespace {
using Leftover = RecoveryStore::Leftover;

struct Match {
    Leftover leftover;
    qint32 page = 0;   // 0: restored as a new page without a file
    QString title;     // of the new page
};

// The pages of the open definition whose file is `path`.
QList<qint32> pagesWithFile(const QString &path)
{
    QList<qint32> pages;
    for (qint32 i = 1; i <= qint32(pageCount()); ++i) {
        const PageRecord &page = gPageTable.at(i);
        if (!page.FileName.isEmpty() && page.Folder + page.FileName == path)
            pages << i;
    }
    return pages;
}

// The page that takes a copy of one of `pages` (the pages of one file): the page it was
// taken from when that still holds the file, or else the first that has no copy yet; 0
// when every one has one already.
qint32 pageFor(const RecoveryCopy &copy, const QList<qint32> &pages, const QList<qint32> &taken)
{
    if (pages.contains(copy.pageIndex) && !taken.contains(copy.pageIndex))
        return copy.pageIndex;
    for (qint32 page : pages)
        if (!taken.contains(page))
            return page;
    return 0;
}

// The open definition's copies among the leftovers, each with the page that takes it.
QList<Match> matchLeftovers(QList<Leftover> &leftovers)
{
    QList<Match> matches;
    QList<qint32> taken;
    for (Leftover &leftover : leftovers) {
        const RecoveryCopy &copy = leftover.copy;
        if (leftover.problem != RecoveryStore::Problem::None)
            continue;
        if (copy.pagePath.isEmpty()) {
            if (!copy.definitionPath.isEmpty() && copy.definitionPath == gSite.FilePath)
                matches.append({leftover, 0, copy.title.isEmpty() ? siteTexts::untitledPage : copy.title});
            continue;
        }
        const QList<qint32> pages = pagesWithFile(copy.pagePath);
        const qint32 page = pageFor(copy, pages, taken);
        if (pages.isEmpty() || (page > 0 && !liveEditor(gPageEditors.at(page))))
            continue;   // stays until the definition holding its page is opened
        if (page > 0) {
            taken << page;
            matches.append({leftover, page, QString()});
        } else {   // two copies of one page: the second becomes a page of its own
            const QString name = siteCommands::pageDisplayName(gPageTable.at(pages.constFirst()));
            matches.append({leftover, 0, editorTexts::secondCopyTitle(name)});
        }
    }
    return matches;
}

QString problemText(const Leftover &leftover)
{
    switch (leftover.problem) {
    case RecoveryStore::Problem::TooLarge: return editorTexts::copyTooLarge(leftover.size, maxCopyBytes);
    case RecoveryStore::Problem::NotACopy: return editorTexts::notACopy(leftover.size);
    case RecoveryStore::Problem::TooManyLines: return editorTexts::copyTooManyLines(leftover.lines, maxPageLines);
    case RecoveryStore::Problem::None: break;
    }
    return QString();
}

// Tells about files in the recovery folder that are not read back, each once a run: they
// stay where they are, for the user to look at.
void reportProblems(const QList<Leftover> &leftovers)
{
    static QSet<QString> reported;
    QStringList texts;
    for (const Leftover &leftover : leftovers) {
        if (leftover.problem == RecoveryStore::Problem::None || reported.contains(leftover.path))
            continue;
        reported << leftover.path;
        texts << problemText(leftover) + QLatin1Char('\n') + QDir::toNativeSeparators(leftover.path);
    }
    if (!texts.isEmpty())
        ShowMessage(texts.join(QStringLiteral("\n\n")));
}
}   // namespace

void frmTree::offerRecovery()
{
    const std::shared_ptr<RecoveryStore> store = RecoveryStore::current();
    QList<Leftover> leftovers = store->leftovers();
    QList<Match> matches = matchLeftovers(leftovers);
    QStringList names, changed;
    for (qsizetype i = 0; i < matches.size();) {
        Match &m = matches[i];
        if (!RecoveryStore::readText(m.leftover)) {
            leftovers << m.leftover;   // with its problem, if it has one
            matches.removeAt(i);
            continue;
        }
        const QString name = m.page > 0 ? siteCommands::pageDisplayName(gPageTable.at(m.page)) : m.title;
        names << name;
        if (m.page > 0 && isStale(m.leftover.copy, liveEditor(gPageEditors.at(m.page))->fileHash()))
            changed << name;
        ++i;
    }
    reportProblems(leftovers);
    if (matches.isEmpty())
        return;
    const QPointer<frmTree> self(this);
    const YesNoChoice answer = platform().askYesNoChoice(recoveryPrompt(names, changed), messageTitle);
    // Only いいえ gives the copies up; a question closed without an answer (Esc, the close
    // box, a signal, the session's end) leaves them for the next time.
    if (answer == YesNoChoice::Closed || !self)
        return;
    for (const Match &m : std::as_const(matches)) {
        if (answer == YesNoChoice::No) {
            QFile::remove(m.leftover.path);
            continue;
        }
        frmChild1 *editor = m.page > 0 ? liveEditor(gPageEditors.at(m.page)) : addNewPage(m.title);
        if (editor)
            editor->restoreText(m.leftover.copy.text, m.leftover.path);
    }
    store->tidyLeftovers();
}
