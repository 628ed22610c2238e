#pragma once
// Set-up shared by the benchmarks that open windows.

#include "platform/KForm.h"

#include <QMdiArea>

// Benchmarks run offscreen unless told otherwise.
inline void useOffscreenUnlessSet()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Shows `area` at a fixed size and makes it the area new forms open in.
inline void openFormArea(QMdiArea &area)
{
    area.resize(1200, 900);
    area.show();
    KForm::setDefaultArea(&area);
}
