#pragma once
// The program's start as main() does it, for the benchmarks that time a start from the
// process being spawned.

#include "app/Translation.h"
#include "app/mdiMain.h"
#include "platform/QtPlatform.h"
#include "platform/WindowStyle.h"

#include <QApplication>
#include <QWindow>

#include <memory>

// What main() does with the site `site` named on the command line, with `folder` as the
// program folder, until the frame is exposed and painted; the frame, or nullptr when the
// settings or the site could not be read.
inline std::unique_ptr<mdiMain> startProgram(QApplication &app, const QString &folder, const QString &site)
{
    installQtTranslation(app);
    installWindowStyle();
    QtPlatform::setProgramFolderOverride(folder);
    auto frame = std::make_unique<mdiMain>();
    if (!frame->MDIForm_Load())
        return nullptr;
    frame->showAsRemembered();
    if (!frame->openDefinition(site))
        return nullptr;
    while (!frame->windowHandle() || !frame->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    return frame;
}
