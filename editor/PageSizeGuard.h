#pragma once
// Keeps a page within the limits it is opened with while it is edited in a text box: each
// edit is checked before it is made. A page far below the limits passes on its number of
// characters alone. A large one is measured once as its file would hold it; from then on
// every change adds the most it could have grown, and only when that bound passes the
// limit is the page measured again, so that typing into a large page stays cheap.

#include "common/PageLimits.h"

#include <QObject>
#include <QString>

#include <optional>

class QTextDocument;

class PageSizeGuard : public QObject
{
public:
    explicit PageSizeGuard(QTextDocument *document);

    // The limit that replacing the document's [from, to) with `inserted` (text as typed
    // or pasted: CR, LF and CR LF end lines) would take the page past, if any.
    std::optional<PageExcess> excessOfEdit(int from, int to, QStringView inserted, TextEncoding encoding);

private:
    qsizetype linesAfter(int from, int to, QStringView inserted) const;
    bool lastLineEmptyAfter(int from, int to, QStringView inserted) const;
    void measure(TextEncoding encoding);

    QTextDocument *mDocument;
    qint64 mMeasured = -1;   // the page's bytes when last measured; -1 before
    TextEncoding mMeasuredIn = TextEncoding::Cp932;
    qsizetype mAddedSince = 0;   // characters added to the document since
    bool mChangedSince = false;
};

// The limit a whole new text for the editor (as its text box holds it, or as textSearch
// reads it) would take the page past, if any.
std::optional<PageExcess> excessOfText(const QString &editorText, TextEncoding encoding);
