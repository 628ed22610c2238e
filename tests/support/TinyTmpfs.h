#pragma once
// A really full disk for tests: a tmpfs of a few pages mounted over a folder for as long as
// it lives (only root may mount; `mounted` says whether it was).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

struct TinyTmpfs {
    explicit TinyTmpfs(const QString &folder) : path(QFile::encodeName(folder))
    {
        mounted = ::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") == 0;
        if (!mounted)
            reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TinyTmpfs()
    {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    // Takes every free page with one file.
    void fill(const QString &file) const
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'f');
        while (f.write(block) == block.size()) { }
        while (f.write("f", 1) == 1) { }
    }
    QByteArray path;
    bool mounted = false;
    QString reason;
};
