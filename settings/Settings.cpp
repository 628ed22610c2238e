#include "settings/Settings.h"
#include "settings/SettingsTexts.h"
#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "settings/Profile.h"
#include "settings/StoredLayout.h"
#include "settings/SettingsFolder.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "tags/TagDatabase.h"

#include <QFileInfo>

namespace basSystem {

const QString settingsFileName = QStringLiteral("pageKiln.INI");

namespace {
const QString formSection = QStringLiteral("FORM INF");
const QString appSection = QStringLiteral("APP INF");
const QString historySection = QStringLiteral("HISTORY");
// The frame's own geometry, in a section of its own after the described ones; a file
// without it loads as before.
const QString frameSection = QStringLiteral("FRAME INF");

// The editors' own choices, in a section of their own after the frame's; a file without
// it loads as wrap off, and it is written only once it matters (wrap turned on, or the
// file already holds it), so that a file of someone who never wraps stays as it was.
const QString editorSection = QStringLiteral("EDITOR INF");
const QString wrapKey = QStringLiteral("WRAP");

struct LongKey {
    const char *key;
    qint32 *variable;
};

// The eleven numeric keys of "FORM INF", in the order they are read and written.
const std::array<LongKey, 11> &formKeys()
{
    static const std::array<LongKey, 11> keys{{
        {"TAG_V", &gTagWinVisible},
        {"TAG_W", &gTagWinWidth},
        {"TAG_H", &gTagWinHeight},
        {"TAG_T", &gTagWinTop},
        {"TAG_L", &gTagWinLeft},
        {"TRE_V", &gTreeWinVisible},
        {"TRE_W", &gTreeWinWidth},
        {"TRE_H", &gTreeWinHeight},
        {"TRE_T", &gTreeWinTop},
        {"TRE_L", &gTreeWinLeft},
        {"TRE_S", &gTreeSplit},
    }};
    return keys;
}

// The frame's keys, in the order they are written.
const std::array<LongKey, 5> &frameKeys()
{
    static const std::array<LongKey, 5> keys{{
        {"FRM_L", &gFrameLeft},
        {"FRM_T", &gFrameTop},
        {"FRM_W", &gFrameWidth},
        {"FRM_H", &gFrameHeight},
        {"FRM_M", &gFrameMaximized},
    }};
    return keys;
}

// Reads the frame's geometry; a missing or damaged key leaves none recorded.
void loadFrameGeometry(const ProfileFile &file)
{
    for (const LongKey &k : frameKeys()) {
        const std::optional<qint32> number
            = profileLong(file.value(frameSection, QLatin1String(k.key)).value_or(QString()));
        if (!number) {
            gFrameWidth = 0;
            return;
        }
        *k.variable = *number;
    }
}

// Writes the frame's geometry once the frame recorded one.
void saveFrameGeometry(ProfileFile &file)
{
    if (gFrameWidth <= 0)
        return;
    for (const LongKey &k : frameKeys())
        file.setValue(frameSection, QLatin1String(k.key), QString::number(*k.variable));
}

void loadEditorChoices(const ProfileFile &file)
{
    gEditorWrap = profileLong(file.value(editorSection, wrapKey).value_or(QString())).value_or(0) != 0 ? -1 : 0;
}

void saveEditorChoices(ProfileFile &file)
{
    if (gEditorWrap != 0 || file.value(editorSection, wrapKey))
        file.setValue(editorSection, wrapKey, QString::number(gEditorWrap));
}

// Brings every stored size and place into range, no window smaller than usable; a frame
// without a usable recorded size has none.
void keepLayoutInRange()
{
    using namespace storedLayout;
    for (qint32 *p : {&gTagWinTop, &gTagWinLeft, &gTreeWinTop, &gTreeWinLeft, &gTreeSplit, &gFrameLeft, &gFrameTop})
        *p = place(*p);
    gTagWinWidth = size(gTagWinWidth, tagMinimum.width);
    gTagWinHeight = size(gTagWinHeight, tagMinimum.height);
    gTreeWinWidth = size(gTreeWinWidth, treeMinimum.width);
    gTreeWinHeight = size(gTreeWinHeight, treeMinimum.height);
    if (gFrameWidth <= 0 || gFrameHeight <= 0) {
        gFrameWidth = 0;
        return;
    }
    gFrameWidth = size(gFrameWidth, frameMinimum.width);
    gFrameHeight = size(gFrameHeight, frameMinimum.height);
}

QString historyKey(int i)
{
    return QStringLiteral("FILE%1").arg(i, 2, 10, QLatin1Char('0'));
}

// Why the settings file at `path` cannot be used; empty when it is an ordinary file.
QString settingsFileProblem(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return QString();
    return info.exists() ? QStringLiteral("not an ordinary file") : QStringLiteral("file not found");
}

bool fail(QString *failure, const QString &message, const QString &path, const QString &reason)
{
    if (failure)
        *failure = failureText(message, path, reason);
    return false;
}
}   // namespace

bool PlaceDefaultFiles(QString *failure)
{
    const settingsFolder::Choice choice{AppFilePath(QString()), platform().defaultsFolder()};
    QString path;
    QString reason;
    if (!settingsFolder::placeDefaults(choice, {settingsFileName, tagDatabaseFileName}, &path, &reason))
        return fail(failure, settingsTexts::msgLoadFailed, path, reason);
    return true;
}

bool LoadSettings(QString *failure)
{
    const QString path = AppFilePath(settingsFileName);
    QString reason = settingsFileProblem(path);
    ProfileFile file;
    if (!reason.isEmpty() || !file.load(path, &reason, maxSettingsBytes))
        return fail(failure, settingsTexts::msgLoadFailed, path, reason);
    for (const LongKey &k : formKeys()) {
        const QString key = QLatin1String(k.key);
        const std::optional<qint32> number = profileLong(file.value(formSection, key).value_or(QString()));
        if (!number)
            return fail(failure, settingsTexts::msgLoadFailed, path,
                        key + QStringLiteral(" is no whole number in range"));
        *k.variable = *number;
    }
    gCurDir = file.value(appSection, QStringLiteral("CUR_DIR")).value_or(QString());
    for (int i = 1; i <= 10; ++i)
        gHistory[i] = file.value(historySection, historyKey(i)).value_or(QString());
    loadFrameGeometry(file);
    loadEditorChoices(file);
    keepLayoutInRange();
    return true;
}

bool SaveSettings(QString *failure)
{
    const QString path = AppFilePath(settingsFileName);
    QString reason = settingsFileProblem(path);
    ProfileFile file;
    if (!reason.isEmpty() || !file.load(path, &reason, maxSettingsBytes))
        return fail(failure, settingsTexts::msgSaveFailed, path, reason);
    keepLayoutInRange();
    for (const LongKey &k : formKeys())
        file.setValue(formSection, QLatin1String(k.key), QString::number(*k.variable));
    file.setValue(appSection, QStringLiteral("CUR_DIR"), gCurDir);
    for (int i = 1; i <= 10; ++i)
        file.setValue(historySection, historyKey(i), gHistory[i]);
    saveFrameGeometry(file);
    saveEditorChoices(file);
    // The file may have gone between the check and the write; never create it here.
    reason = settingsFileProblem(path);
    if (!reason.isEmpty() || !file.commit(&reason))
        return fail(failure, settingsTexts::msgSaveFailed, path, reason);
    return true;
}

}   // namespace basSystem
