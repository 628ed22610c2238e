#pragma once
// Common ground for tests: a scripted platform whose program folder is a fresh temporary
// folder, the user's data location (recovery copies) inside it as "data" and the system's
// temporary folder (the second place of recovery copies) as "tmp", the shared state reset
// to what start-up gives, and small file helpers.

#include "platform/ScriptedPlatform.h"

#include <QByteArray>
#include <QMdiArea>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QAction;
class QMainWindow;

class TestEnv
{
public:
    TestEnv();
    ~TestEnv();

    ScriptedPlatform platform;
    QTemporaryDir dir;

    // A path inside the temporary program folder.
    QString path(const QString &name) const;
    // Writes `bytes` to `name` (inside the folder), creating folders on the way.
    QString write(const QString &name, const QByteArray &bytes) const;
    // Writes `text` in code page 932.
    QString writeCp932(const QString &name, const QString &text) const;
    static QByteArray read(const QString &path);
    static QByteArray cp932(const QString &text);

    // Writes a complete settings file into the program folder, and a small tag database
    // unless one is there.
    QString writeSettings(int tagVisible = -1, int treeVisible = -1) const;

    // A site in folder `sub` of the program folder: pages p1.htm ... pN.htm titled
    // "<name> i", and a definition `sub`/site.ksd listing them, the first one open;
    // returns the definition's path.
    QString writeSite(const QString &sub, const QString &name, int n) const;

    // The sample site in folder "sample-site" of the program folder, as the set-up script
    // lays it out from `examples` (the shipped example folder); returns the definition's
    // path.
    QString writeSampleSite(const QString &examples) const;

    // An MDI area that new forms open in (created on first use, shown offscreen).
    QMdiArea *area();

private:
    std::unique_ptr<QMdiArea> mArea;
    QByteArray mPreviousDataHome;   // the user's data location and temporary folder are put back afterwards
    QByteArray mPreviousTmpDir;
};

// Resets every shared variable to its start-up value.
void resetSharedState();

// The header of a definition file, section "KSD INF", with CR LF line ends.
QString definitionHeader(const QString &version = QStringLiteral("Velmoran HTML Editor Ver 0.0"),
                         const QString &name = QStringLiteral("サイト"),
                         const QString &folder = QStringLiteral("/web/"),
                         const QString &url = QStringLiteral("http://example.jp/"));
// The page list of a definition file: CNT=`count`, then `entries` keyed 001, 002, ...
QString definitionList(const QString &count, const QStringList &entries);

// The titles of the page table's pages, in order.
QStringList pageTitles();

// The seed of a random test: PAGEKILN_TEST_SEED when set, otherwise a fresh one; printed,
// so that a failing run can be repeated with it.
quint32 testSeed();

// The menu bar's entry `item` of menu `menu` in `window`, matched without the accelerator
// mark; the menu is told it is about to show first, as it would be when opened.
QAction *menuItem(const QMainWindow &window, const QString &menu, const QString &item);
