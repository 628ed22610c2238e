#pragma once
// Edits that another command makes in an editor's text (links rewritten when a file
// moves), each set of them one undo step that the command can take back later.
//
// An editor that has not yet put its text into its text box keeps the sets beside the
// text and makes them when the text goes in, so that a thousand hidden editors take a
// site-wide change without a text box each. Places count as the text box counts them:
// lines joined by "\n" (textSearch's places).

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextCursor>

class QTextDocument;

namespace textEdits {

// Replace `length` characters at `offset` by `text`.
struct Edit {
    qsizetype offset = 0;
    qsizetype length = 0;
    QString text;
    friend bool operator==(const Edit &, const Edit &) = default;
};

// `text` with `edits` made; the edits stand in increasing order and do not overlap.
QString applied(QStringView text, const QList<Edit> &edits);

class EditSets
{
public:
    // Sets kept while the text is not in a document, in the order they were made; each
    // one's places count in the text the sets before it made.
    bool hasPending() const { return !mPending.isEmpty(); }
    QList<QList<Edit>> pending() const;
    void addPending(quint64 id, QList<Edit> edits);
    // `text` with the pending sets made.
    QString withPending(const QString &text) const;
    // The pending sets are in the text now (a save wrote them): they are forgotten.
    void clearPending() { mPending.clear(); }

    // Makes `edits` in `document` as one undo step, and remembers where their new texts
    // stand so that the step can be taken back by undo(id).
    void apply(QTextDocument *document, quint64 id, const QList<Edit> &edits);
    // Makes every pending set in `document`, each as one undo step.
    void applyPending(QTextDocument *document);

    // Takes set `id` back. A pending one is dropped. One made in `document` is undone
    // there when nothing was edited since; otherwise its new texts, which must all still
    // stand where they were put, are written back to what they replaced, as one new step.
    // False, with nothing changed, when the set is not known or a new text was edited since.
    bool undo(quint64 id, QTextDocument *document);
    // Whether undo(id) would take the set back.
    bool canUndo(quint64 id, const QTextDocument *document) const;

private:
    struct Pending {
        quint64 id = 0;
        QList<Edit> edits;
    };
    // A set made in a document: the document's revision right after it, and for each
    // edit a cursor selecting its new text (cursors follow later edits), the text it
    // replaced and the new text.
    struct Made {
        quint64 id = 0;
        int revision = 0;
        QList<QTextCursor> places;
        QStringList before;
        QStringList after;
    };
    static bool standsWhole(const Made &made, const QTextDocument *document);
    static void writeBack(const Made &made, QTextDocument *document);

    QList<Pending> mPending;
    QList<Made> mMade;   // the last one only: only the last change can be taken back
};

}   // namespace textEdits
