#pragma once
// The texts the page editor and its page files show the user, kept in one place.

#include <QString>

namespace editorTexts { }   // namespace editorTexts
