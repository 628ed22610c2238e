#pragma once
// The texts the desktop layer's dialogs show the user, kept in one place.

#include <QString>

namespace platformTexts { }   // namespace platformTexts
