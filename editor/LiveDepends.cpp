#include "editor/LiveDepends.h"

bool LiveDepends::link(QHash<QString, QSet<QString>> &map, const QString &from, const QString &to)
{
    QSet<QString> &targets = map[from];
    if (targets.contains(to) || mLinks >= maxLinks)
        return false;
    targets.insert(to);
    ++mLinks;
    return true;
}

void LiveDepends::served(const QString &address, const QString &file, const QString &user)
{
    link(mAddressesOfFile, file, address);
    if (!user.isEmpty() && user != address)
        link(mUsersOf, address, user);
}

qsizetype LiveDepends::changed(const QStringList &files, quint64 generation)
{
    QList<QString> pending;
    for (const QString &file : files)
        pending += mAddressesOfFile.value(file).values();
    QSet<QString> reached;
    while (!pending.isEmpty()) {
        const QString address = pending.takeLast();
        if (reached.contains(address))
            continue;
        reached.insert(address);
        mLastChange.insert(address, generation);
        pending += mUsersOf.value(address).values();
    }
    return reached.size();
}

void LiveDepends::clear()
{
    mAddressesOfFile.clear();
    mUsersOf.clear();
    mLastChange.clear();
    mLinks = 0;
}
