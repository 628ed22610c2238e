#pragma once
// The texts the settings file's loading and saving show the user, kept in one place.

#include <QString>

namespace settingsTexts { }   // namespace settingsTexts
