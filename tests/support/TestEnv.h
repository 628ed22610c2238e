#pragma once
// Common ground for tests: a scripted platform whose program folder is a fresh temporary
// folder, the shared state reset to what start-up gives, and small file helpers.

#include "platform/ScriptedPlatform.h"

#include <QByteArray>
#include <QMdiArea>
#include <QString>
#include <QTemporaryDir>

#include <memory>

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

    // An MDI area that new forms open in (created on first use, shown offscreen).
    QMdiArea *area();

private:
    std::unique_ptr<QMdiArea> mArea;
};

// Resets every shared variable to its start-up value.
void resetSharedState();
