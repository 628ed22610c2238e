// Opening many page editors and large pages. A site's pages each get a hidden editor
// when the site is read; the editor keeps a text it was given while hidden and fills its
// text box only when first shown. This prints what opening 1,000 hidden editors costs,
// what filling all their text boxes at once would have added, and the cost of an 8 MB
// page from setting its text to showing it and reading it back. Runs offscreen.

#include "BenchSupport.h"
#include "editor/frmChild1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QPlainTextEdit>

#include <cstdio>
#include <vector>

namespace {
// A page of about `characters` characters of markup and Japanese prose, CR LF line ends.
QString samplePage(qsizetype characters, int seed)
{
    const QString line
        = QStringLiteral("<p>日本語の文章がここに続きます。<a href=\"page%1.htm\">次へ</a></p>\r\n").arg(seed);
    QString page = QStringLiteral("<html><head><title>ページ%1</title></head><body>\r\n").arg(seed);
    while (page.size() < characters)
        page += line;
    return page + QStringLiteral("</body></html>\r\n");
}

void manyHiddenEditors(int count, qsizetype pageCharacters)
{
    std::vector<QString> pages;
    for (int i = 0; i < count; ++i)
        pages.push_back(samplePage(pageCharacters, i));

    std::vector<frmChild1 *> editors;
    double firstHalf = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        auto *editor = new frmChild1();
        editor->setCaption(QStringLiteral("ページ%1").arg(i));
        editor->setText(pages[std::size_t(i)]);
        editor->plId = i + 1;
        editors.push_back(editor);
        if (i + 1 == count / 2)
            firstHalf = msSince(timer);
    }
    const double open = msSince(timer);

    timer.restart();
    for (frmChild1 *editor : editors)
        editor->txtEdit();   // fills the text box, as an eager editor would have on creation
    const double fill = msSince(timer);

    std::printf("%d hidden editors of %lld characters: open %8.1f ms (first half %.1f ms, second half %.1f ms); "
                "filling every text box at once would add %8.1f ms\n",
                count, static_cast<long long>(pageCharacters), open, firstHalf, open - firstHalf, fill);
    for (frmChild1 *editor : editors)
        editor->Unload(vbFormCode);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void largePage(qsizetype characters)
{
    const QString page = samplePage(characters, 0);
    QElapsedTimer timer;
    timer.start();
    auto *editor = new frmChild1();
    editor->setText(page);
    const double set = msSince(timer);

    timer.restart();
    const qsizetype hiddenLength = editor->text().size();
    const double readHidden = msSince(timer);

    timer.restart();
    editor->Show();
    QCoreApplication::processEvents();
    const double show = msSince(timer);

    timer.restart();
    const qsizetype shownLength = editor->text().size();
    const double readShown = msSince(timer);

    std::printf("page of %lld characters: set %7.1f ms, read while hidden %7.1f ms, first show %7.1f ms, "
                "read from the text box %7.1f ms%s\n",
                static_cast<long long>(page.size()), set, readHidden, show, readShown,
                hiddenLength == shownLength && shownLength == page.size() ? "" : "  TEXT DIFFERS");
    editor->Unload(vbFormCode);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}   // namespace

int main(int argc, char *argv[])
{
    useOffscreenUnlessSet();
    QApplication app(argc, argv);
    QMdiArea area;
    openFormArea(area);

    manyHiddenEditors(1000, 20 * 1024);
    largePage(4 << 20);
    largePage(8 << 20);
    return 0;
}
