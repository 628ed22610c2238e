#pragma once
// One search or replacement across the site's pages, as the site search window runs it:
// a snapshot of every page's editor taken at the start, the search on a thread of its own
// (SiteSearch), its hits listed as they come, and every edit made meanwhile followed, so
// that a listed hit keeps pointing at its text or is taken out. A replacement changes no
// page until every page has been searched and found to stay within its limits; then each
// page with hits changes as one edit, a few at a time while the program is idle.

#include "editor/SiteHits.h"
#include "editor/SiteSearch.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class frmChild1;

class SiteSearchSession : public QObject
{
    Q_OBJECT
public:
    // How the session ended.
    struct Outcome {
        bool cancelled = false;
        std::optional<SearchStop> stop;
        qsizetype replaced = 0;        // hits replaced
        qsizetype replacedPages = 0;   // in this many pages
        QStringList skipped;           // pages edited after the search took them: left as they were
    };

    // Starts finding `query` in every page, listing the hits in `hits`; with a
    // `replacement`, replaces them instead (and lists nothing).
    SiteSearchSession(const textSearch::Query &query, std::optional<QString> replacement, SiteHits *hits,
                      QObject *parent);
    // Cancels the search and waits for its thread.
    ~SiteSearchSession() override;

    bool isReplacing() const { return mReplacement.has_value(); }
    // True until the search is done and (when replacing) every page replaced.
    bool isRunning() const { return mRunning; }
    // Pages searched (or, once replacing, replaced) so far, of how many.
    qsizetype pagesDone() const { return mPagesDone; }
    qsizetype pageTotal() const { return mPageTotal; }
    bool isApplying() const { return mApplying; }
    // Stops the search; nothing is replaced. Too late once replacing has begun.
    void cancel();
    // Cancels the search, and leaves the listed hits to the session that follows.
    void detach();

    // The editor of page `page` as the search took it; nullptr once it is gone.
    frmChild1 *editor(qint32 page) const;
    QString title(qint32 page) const;

signals:
    void progressed();
    void finished(const SiteSearchSession::Outcome &outcome);

private:
    struct Page {
        QPointer<frmChild1> editor;
        QString title;
        qsizetype order = 0;     // its place in the search
        bool edited = false;     // since the snapshot
        bool replaced = false;   // its whole text set anew since the snapshot
        QList<TextEdit> edits;   // made before its hits came in
    };

    void watchEdits();
    void pageEdited(qint32 page, const TextEdit &edit);
    void pageReplaced(qint32 page);
    void takeResults();
    void take(PageResult result, QList<SiteHits::Page> &listed);
    void end();
    void applyReplacements();

    SiteHits *mHits;   // nullptr once detached
    std::optional<QString> mReplacement;
    QHash<qint32, Page> mPages;
    QHash<const frmChild1 *, qint32> mPageOf;
    std::unique_ptr<SiteSearch> mSearch;
    QList<PageResult> mToReplace;   // when replacing: the hits of every page, until all are in
    qsizetype mApplied = 0;
    qsizetype mPagesDone = 0;
    qsizetype mPageTotal = 0;
    bool mRunning = true;
    bool mApplying = false;
    Outcome mOutcome;
};
