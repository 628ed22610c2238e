// The cost of recovery copies on a page of about 1 MB: what a keystroke costs with the
// copy's timer watching (to the key's last paint), what writing the copy costs once typing
// pauses (reading the text out of the text box, formatting, writing atomically), and
// hashing the page's bytes when it is read or saved. Runs offscreen; the copies go to a
// temporary folder.

#include "BenchSupport.h"
#include "PaintClock.h"
#include "app/basSystem.h"
#include "editor/RecoveryCopy.h"
#include "editor/frmChild1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {
QString samplePage(qsizetype bytes)
{
    const QString line = QStringLiteral("<p>日本語の文章がここに続きます。<a href=\"next.htm\">次へ</a></p>\r\n");
    QString page = QStringLiteral("<html><head><title>大きなページ</title></head><body>\r\n");
    while (encodeWithReferences(page, TextEncoding::Cp932).size() < bytes)
        page += line.repeated(256);
    return page + QStringLiteral("</body></html>\r\n");
}

}   // namespace

int main(int argc, char *argv[])
{
    useOffscreenUnlessSet();
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    PaintClockApplication app(argc, argv);
    QMdiArea area;
    openFormArea(area);

    const QString page = samplePage(1 << 20);
    const QByteArray bytes = encodeWithReferences(page, TextEncoding::Cp932);
    auto *editor = new frmChild1();
    editor->setText(page);
    basSystem::PageRecord record;
    record.Folder = data.path() + QLatin1Char('/');
    record.FileName = QStringLiteral("page.htm");
    basSystem::addPage(record, editor);
    editor->Show();
    QPlainTextEdit *box = editor->txtEdit();
    app.watch(editor->subWindow());
    app.settle();

    // Each key to the last paint of the editor; the copy's timer restarts at every key.
    constexpr int keys = 200;
    QList<double> keyTimes;
    for (int i = 0; i < keys; ++i)
        keyTimes << app.timeToLastPaint(
            [box] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("あ"));
                QCoreApplication::sendEvent(box, &press);
            },
            30);
    QElapsedTimer timer;

    constexpr int rounds = 20;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        editor->text();
    const double readText = msSince(timer) / rounds;
    RecoveryCopy copy;
    copy.text = editor->text();
    timer.restart();
    for (int i = 0; i < rounds; ++i)
        formatRecoveryCopy(copy);
    const double format = msSince(timer) / rounds;
    timer.restart();
    bool written = true;
    for (int i = 0; i < rounds; ++i)
        written = editor->writeRecoveryCopy() && written;
    const double write = msSince(timer) / rounds;
    timer.restart();
    for (int i = 0; i < rounds; ++i)
        pageFileHash(bytes);
    const double hash = msSince(timer) / rounds;

    std::printf("page of %lld bytes (%lld characters):\n"
                "  keystroke to its last paint (the copy's timer restarted) median %.2f ms, p99 %.2f ms\n"
                "  writing the copy once typing pauses        %7.1f ms (of which reading the text %.1f ms, formatting "
                "%.1f ms)%s\n"
                "  hashing the page's bytes on read or save   %7.1f ms\n",
                static_cast<long long>(bytes.size()), static_cast<long long>(page.size()), percentile(keyTimes, 0.5),
                percentile(keyTimes, 0.99), write, readText, format, written ? "" : "  WRITE FAILED", hash);
    editor->Unload(vbFormCode);
    return 0;
}
