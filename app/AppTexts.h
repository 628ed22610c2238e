#pragma once
// The texts the frame (menus, the about box, the start-up messages) show the user, kept in one place.

#include <QString>

namespace appTexts { }   // namespace appTexts
