#pragma once
// The texts the site tree and its definition commands show the user, kept in one place.

#include <QString>

namespace treeTexts { }   // namespace treeTexts
