#include "editor/TextEdits.h"

#include <QTextDocument>

namespace textEdits {

QString applied(QStringView text, const QList<Edit> &edits)
{
    QString out;
    qsizetype grows = 0;
    for (const Edit &e : edits)
        grows += e.text.size() - e.length;
    out.reserve(text.size() + std::max<qsizetype>(grows, 0));
    qsizetype at = 0;
    for (const Edit &e : edits) {
        out += text.sliced(at, e.offset - at);
        out += e.text;
        at = e.offset + e.length;
    }
    out += text.sliced(at);
    return out;
}

QList<QList<Edit>> EditSets::pending() const
{
    QList<QList<Edit>> sets;
    sets.reserve(mPending.size());
    for (const Pending &p : mPending)
        sets << p.edits;
    return sets;
}

void EditSets::addPending(quint64 id, QList<Edit> edits)
{
    mPending.append({id, std::move(edits)});
}

QString EditSets::withPending(const QString &text) const
{
    QString out = text;
    for (const Pending &p : mPending)
        out = applied(out, p.edits);
    return out;
}

void EditSets::apply(QTextDocument *document, quint64 id, const QList<Edit> &edits)
{
    Made made{id, 0, {}, {}, {}};
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    // From the last edit back, so that the places of the earlier ones still hold.
    for (qsizetype i = edits.size() - 1; i >= 0; --i) {
        const Edit &e = edits.at(i);
        cursor.setPosition(int(e.offset));
        cursor.setPosition(int(e.offset + e.length), QTextCursor::KeepAnchor);
        made.before.prepend(cursor.selectedText());
        made.after.prepend(e.text);
        cursor.insertText(e.text);
        QTextCursor place(document);
        place.setPosition(int(e.offset));
        place.setPosition(int(e.offset + e.text.size()), QTextCursor::KeepAnchor);
        made.places.prepend(place);
    }
    cursor.endEditBlock();
    made.revision = document->revision();
    mMade = {std::move(made)};
}

void EditSets::applyPending(QTextDocument *document)
{
    for (const Pending &p : std::exchange(mPending, {}))
        apply(document, p.id, p.edits);
}

bool EditSets::canUndo(quint64 id, const QTextDocument *document) const
{
    if (!mPending.isEmpty())
        return mPending.constLast().id == id;
    if (mMade.isEmpty() || mMade.constLast().id != id || !document)
        return false;
    const Made &made = mMade.constLast();
    return (document->revision() == made.revision && document->isUndoAvailable()) || standsWhole(made, document);
}

bool EditSets::undo(quint64 id, QTextDocument *document)
{
    if (!canUndo(id, document))
        return false;
    if (!mPending.isEmpty()) {
        mPending.removeLast();
        return true;
    }
    const Made made = mMade.takeLast();
    if (document->revision() == made.revision && document->isUndoAvailable())
        document->undo();
    else
        writeBack(made, document);
    return true;
}

// Whether each new text of `made` still stands where it was put, as it was put.
bool EditSets::standsWhole(const Made &made, const QTextDocument *document)
{
    for (qsizetype i = 0; i < made.places.size(); ++i)
        if (made.places.at(i).document() != document || made.places.at(i).selectedText() != made.after.at(i))
            return false;
    return true;
}

void EditSets::writeBack(const Made &made, QTextDocument *document)
{
    // The cursors follow each other's edits; the block makes them one undo step.
    QTextCursor block(document);
    block.beginEditBlock();
    for (qsizetype i = 0; i < made.places.size(); ++i) {
        QTextCursor place = made.places.at(i);
        place.insertText(made.before.at(i));
    }
    block.endEditBlock();
}

}   // namespace textEdits
