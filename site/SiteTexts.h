#pragma once
// The texts the site's commands and the properties dialog show the user, kept in one place.

#include <QString>

namespace siteTexts { }   // namespace siteTexts
