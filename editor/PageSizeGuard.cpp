#include "editor/PageSizeGuard.h"
#include "editor/EditorText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
inline bool isBreak(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
}

// The line breaks of `text` (CR LF counts once), and where the text after the last one
// begins (-1 without any).
std::pair<qsizetype, qsizetype> breaksIn(QStringView text)
{
    qsizetype breaks = 0;
    qsizetype after = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isBreak(text.at(i)))
            continue;
        if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        ++breaks;
        after = i + 1;
    }
    return {breaks, after};
}

qint64 fileBytes(const QString &editorText, TextEncoding encoding)
{
    return encodeWithReferences(editorText::crLfText(editorText), encoding).size();
}
}   // namespace

std::optional<PageExcess> excessOfText(const QString &editorText, TextEncoding encoding)
{
    const QString crLf = editorText::crLfText(editorText);
    const qint64 bound = maxPageFileBytes(crLf.size(), encoding);
    const qint64 bytes = bound <= maxPageBytes ? bound : encodeWithReferences(crLf, encoding).size();
    return pageExcess(bytes, pageLineCount(crLf));
}

PageSizeGuard::PageSizeGuard(QTextDocument *document) : QObject(document), mDocument(document)
{
    connect(document, &QTextDocument::contentsChange, this, [this](int, int, int added) {
        mAddedSince += added;
        mChangedSince = true;
    });
}

std::optional<PageExcess> PageSizeGuard::excessOfEdit(int from, int to, QStringView inserted, TextEncoding encoding)
{
    const qsizetype lines = linesAfter(from, to, inserted);
    const qsizetype units = mDocument->characterCount() - (to - from) + inserted.size();
    if (maxPageFileBytes(units, encoding) <= maxPageBytes)
        return pageExcess(0, lines);
    if (mMeasured < 0 || mMeasuredIn != encoding)
        measure(encoding);
    QTextCursor removed(mDocument);
    removed.setPosition(from);
    removed.setPosition(to, QTextCursor::KeepAnchor);
    const qint64 change = fileBytes(inserted.toString(), encoding) - fileBytes(removed.selectedText(), encoding);
    qint64 bytes = mMeasured + maxPageFileBytes(mAddedSince, encoding) + change;
    if (bytes > maxPageBytes && mChangedSince) {
        measure(encoding);
        bytes = mMeasured + change;
    }
    return pageExcess(bytes, lines);
}

void PageSizeGuard::measure(TextEncoding encoding)
{
    mMeasured = fileBytes(mDocument->toRawText(), encoding);
    mMeasuredIn = encoding;
    mAddedSince = 0;
    mChangedSince = false;
}

// The page's lines after the edit: the text box's lines, less an empty last one (the
// line break at the end of the page's last line leaves it).
qsizetype PageSizeGuard::linesAfter(int from, int to, QStringView inserted) const
{
    const int removedBreaks = mDocument->findBlock(to).blockNumber() - mDocument->findBlock(from).blockNumber();
    const qsizetype blocks = mDocument->blockCount() - removedBreaks + breaksIn(inserted).first;
    // Far from the limit, one line more or less does not matter.
    if (blocks <= maxPageLines)
        return blocks;
    return lastLineEmptyAfter(from, to, inserted) ? blocks - 1 : blocks;
}

bool PageSizeGuard::lastLineEmptyAfter(int from, int to, QStringView inserted) const
{
    const QTextBlock last = mDocument->lastBlock();
    if (to < last.position())
        return last.length() == 1;
    // The edit reaches the last line: it then holds what the insertion leaves after its
    // last line break (or the start of the line the edit begins in, and all the insertion),
    // and what follows the edit.
    const bool nothingFollows = to >= mDocument->characterCount() - 1;
    const qsizetype afterBreak = breaksIn(inserted).second;
    if (afterBreak >= 0)
        return nothingFollows && afterBreak == inserted.size();
    return nothingFollows && inserted.isEmpty() && mDocument->findBlock(from).position() == from;
}
