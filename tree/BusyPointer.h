#pragma once
#include "platform/Platform.h"

// Shows the busy pointer for as long as it lives; the pointer that was shown before comes
// back however the scope is left.
class BusyPointer
{
public:
    BusyPointer() { platform().setBusyPointer(true); }
    ~BusyPointer() { platform().setBusyPointer(false); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};
