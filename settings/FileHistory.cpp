#include "settings/FileHistory.h"

namespace fileHistory {

QStringList entries(const Slots &history)
{
    QStringList paths;
    for (int i = 1; i <= maxEntries; ++i)
        if (!history[i].isEmpty())
            paths << history[i];
    return paths;
}

void store(Slots &history, const QStringList &paths)
{
    for (int i = 1; i <= maxEntries; ++i)
        history[i] = i <= paths.size() ? paths.at(i - 1) : QString();
}

QStringList remember(QStringList paths, const QString &path)
{
    if (path.isEmpty())
        return paths;
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > maxEntries)
        paths.removeLast();
    return paths;
}

QStringList forget(QStringList paths, const QString &path)
{
    paths.removeAll(path);
    return paths;
}

}   // namespace fileHistory
