#pragma once
// What the browser fetched for which page, so that a change of a file reloads the pages
// that show it: the page itself, or a picture, style sheet or script it uses, or a file
// that one of those uses in turn. Addresses are site paths ("/a/b.htm"); files are paths
// on disk.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class LiveDepends
{
public:
    // Address `address` was served from `file` (or looked for there), asked for by the page
    // at address `user` (empty when the request did not say).
    void served(const QString &address, const QString &file, const QString &user);
    // Records change number `generation` for every address served from `files` and every
    // address that uses one of those, however indirectly; returns how many.
    qsizetype changed(const QStringList &files, quint64 generation);
    // The change number at which `address` last changed; 0 when it never did.
    quint64 lastChange(const QString &address) const { return mLastChange.value(address); }
    void clear();

    // At most this many links are kept, so that no stream of requests can grow them without end.
    static constexpr qsizetype maxLinks = 200000;

private:
    bool link(QHash<QString, QSet<QString>> &map, const QString &from, const QString &to);

    QHash<QString, QSet<QString>> mAddressesOfFile;
    QHash<QString, QSet<QString>> mUsersOf;
    QHash<QString, quint64> mLastChange;
    qsizetype mLinks = 0;
};
