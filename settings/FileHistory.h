#pragma once
// The list of recently used site definitions, as kept in the settings file's HISTORY keys
// FILE01 to FILE10: the newest first, each path once, at most ten.

#include <QString>
#include <QStringList>

#include <array>

namespace fileHistory {

inline constexpr int maxEntries = 10;
// The history as the shared state holds it: slots 1 to 10, slot 0 unused.
using Slots = std::array<QString, maxEntries + 1>;

// The paths of the non-empty slots, in slot order.
QStringList entries(const Slots &history);
// Slots 1 to 10 filled from `paths` in order; slots beyond the list are emptied.
void store(Slots &history, const QStringList &paths);

// `paths` with `path` moved (or added) to the front; the oldest falls off past ten.
QStringList remember(QStringList paths, const QString &path);
// `paths` without `path`.
QStringList forget(QStringList paths, const QString &path);

}   // namespace fileHistory
