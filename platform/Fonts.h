#pragma once
// The one Japanese face all forms use: "ＭＳ ゴシック" at 9 points where the desktop has
// it, else the first Japanese Gothic face it has.

#include <QFont>

QFont msGothicFont();
