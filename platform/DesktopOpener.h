#pragma once
// Opening a file the way the desktop opens it: its opener (xdg-open) runs as a process of
// its own, and the window goes on while it works. The opener's answer comes later: when
// it ends with a failure (no browser behind it, say), the caller hears why.

#include <QString>

#include <functional>

// Starts the desktop's opener for `path` and returns at once; when the opener ends with a
// failure, `failed` is called with the reason it gave. False, with nothing started, when
// the desktop has no opener.
bool openWithDesktop(const QString &path, std::function<void(const QString &reason)> failed);

// The reason an opener gave: the last line it wrote to its error output, or else `fallback`.
QString openerReason(const QByteArray &errorOutput, const QString &fallback);
