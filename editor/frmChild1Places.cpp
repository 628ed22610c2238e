// Where editor windows open and how the window menu arranges them: each new editor on a
// place of its own beside the tool windows, each page's editor back where it was last.

#include "app/basSystem.h"
#include "editor/EditorLayout.h"
#include "editor/EditorPlaces.h"
#include "editor/PageTextEdit.h"
#include "editor/frmChild1.h"
#include "platform/Fonts.h"

#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTextDocument>
#include <QtMath>

#include <optional>
#include <utility>

using namespace basSystem;

namespace {
// The text a new editor window shows at least, where the area has room for it.
constexpr int usefulColumns = 80;
constexpr int usefulLines = 25;

// What an area remembers of its editors for the session: each page's last place and size,
// and the place the last new editor took, which the next one steps on from.
class EditorPlaceMemory : public QObject
{
public:
    using QObject::QObject;
    QHash<QString, QRect> pages;
    std::optional<QPoint> lastNew;
};

EditorPlaceMemory &memoryOf(QMdiArea *area)
{
    static const QString name = QStringLiteral("editorPlaceMemory");
    auto *memory = area->findChild<EditorPlaceMemory *>(name, Qt::FindDirectChildrenOnly);
    if (!memory) {
        memory = new EditorPlaceMemory(area);
        memory->setObjectName(name);
    }
    return *memory;
}

// The outer size in pixels of an editor whose text box `box` shows 80 columns by 25 lines.
QSize usefulSizeFor(const PageTextEdit &box)
{
    const QFontMetrics metrics(box.font());
    const int scrollBar = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box);
    const int margins = 2 * (box.frameWidth() + qCeil(box.document()->documentMargin()));
    const int textWidth
        = usefulColumns * metrics.horizontalAdvance(QLatin1Char('0')) + margins + scrollBar + box.lineNumberWidth();
    // One line more for the status line below the text box.
    const int textHeight = (usefulLines + 1) * metrics.lineSpacing() + margins + scrollBar;
    return QSize(textWidth + twipsToPixelsX(editorLayout::designedWidth - editorLayout::txtEdit.width),
                 textHeight + twipsToPixelsY(editorLayout::designedHeight - editorLayout::txtEdit.height));
}

// The smallest size an arrangement gives an editor, or the session remembers, in pixels.
QSize usableSize()
{
    return QSize(twipsToPixelsX(editorLayout::usableWidth), twipsToPixelsY(editorLayout::usableHeight));
}

// One cascade step: the height of a window's title bar, so that each title stays readable.
int cascadeStep(const QMdiSubWindow *sub)
{
    return sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
}

// The room beside the tool windows for editors of `wanted` size.
QRect editorRoom(const QMdiArea *area, QSize wanted)
{
    return editorPlaces::room(area->viewport()->rect(), KForm::toolWindowPlaces(area), wanted.width());
}
}   // namespace

QSize frmChild1::usefulSize() const
{
    if (mTxtEdit)
        return usefulSizeFor(*mTxtEdit);
    // An editor shown while a site is read has no text box yet: one like it is made once.
    static const QSize freshBox = [] {
        PageTextEdit box(nullptr);
        box.setFont(msGothicFont());
        return usefulSizeFor(box);
    }();
    return freshBox;
}

QString frmChild1::placeKey() const
{
    if (plId < 1 || plId >= gPageTable.size() || gPageEditors.at(plId) != this)
        return QString();
    const PageRecord &page = gPageTable.at(plId);
    return page.FileName.isEmpty() ? QString() : page.Folder + page.FileName;
}

// A window made for the editor goes where the editor of its page was last in this
// session; otherwise on the next place of the cascade in the room beside the tool windows,
// at a size that shows 80 columns by 25 lines where the room allows. Nothing here looks
// at the other editors, so that opening a thousand of them costs the same each.
void frmChild1::chooseFirstPlace()
{
    QMdiArea *area = formArea();
    if (!area)
        return;
    EditorPlaceMemory &memory = memoryOf(area);
    const QRect visible = area->viewport()->rect();
    const auto stored = memory.pages.constFind(placeKey());
    if (stored != memory.pages.cend()) {
        setPlacePixels(editorPlaces::keepInside(*stored, visible));
        return;
    }
    const QSize wanted = usefulSize();
    const QRect room = editorRoom(area, wanted);
    const QSize size = wanted.boundedTo(room.size());
    memory.lastNew = editorPlaces::nextCascadePlace(visible, room, size, cascadeStep(subWindow()), memory.lastNew);
    setPlacePixels(QRect(*memory.lastNew, size));
}

void frmChild1::placeAt(const QRect &r)
{
    // An inactive editor keeps its layout when resized; one arranged is laid out at once.
    const bool inactive = std::exchange(mbNoResize, false);
    if (QMdiSubWindow *sub = subWindow(); sub && (sub->isMaximized() || sub->isMinimized()))
        sub->showNormal();
    setPlacePixels(r);
    mbNoResize = inactive;
}

void frmChild1::rememberPlace() const
{
    const QString key = placeKey();
    const std::optional<QRect> place = normalPlacePixels();
    if (key.isEmpty() || !place || !formArea())
        return;
    QRect kept = *place;
    kept.setSize(kept.size().expandedTo(usableSize()));
    memoryOf(formArea()).pages.insert(key, kept);
}

namespace {
// Places `editors` at `places` in turn, each above the ones before.
void placeEditors(const QList<frmChild1 *> &editors, const QList<QRect> &places)
{
    for (qsizetype i = 0; i < editors.size() && i < places.size(); ++i) {
        editors.at(i)->placeAt(places.at(i));
        editors.at(i)->subWindow()->raise();
    }
}

// `editors` with the active one last, so that it ends up on top.
QList<frmChild1 *> activeLast(QList<frmChild1 *> editors)
{
    if (const qsizetype active = editors.indexOf(liveEditor(gActiveEditor)); active >= 0)
        editors.append(editors.takeAt(active));
    return editors;
}
}   // namespace

void cascadeEditors(QMdiArea *area, const QList<frmChild1 *> &editors)
{
    if (!area || editors.isEmpty())
        return;
    // As large as lets every title show, one step below and right of the one before; at
    // least usable, and where that leaves too little room, the cascade goes on in diagonals.
    const QRect room = editorRoom(area, usableSize());
    const int step = cascadeStep(editors.constFirst()->subWindow());
    const int steps = int(editors.size() - 1) * step;
    const QSize size = (room.size() - QSize(steps, steps)).expandedTo(usableSize());
    const QList<QRect> places = editorPlaces::cascade(room, size, step, int(editors.size()));
    placeEditors(activeLast(editors), places);
    // New editors go on from the last place taken.
    memoryOf(area).lastNew = places.constLast().topLeft();
}

void tileEditors(QMdiArea *area, const QList<frmChild1 *> &editors)
{
    if (!area || editors.isEmpty())
        return;
    const QRect room = editorRoom(area, usableSize());
    placeEditors(activeLast(editors), editorPlaces::tile(room, int(editors.size()), usableSize()));
}
