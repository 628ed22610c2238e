#pragma once
// The texts the tag database and the tag palette show the user, kept in one place.

#include <QString>

namespace tagTexts { }   // namespace tagTexts
