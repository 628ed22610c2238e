#pragma once
// Set-up and measures shared by the benchmarks.

#include "platform/KForm.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QMdiArea>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

// Benchmarks run offscreen unless told otherwise.
inline void useOffscreenUnlessSet()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Shows `area` at a fixed size and makes it the area new forms open in.
inline void openFormArea(QMdiArea &area)
{
    area.resize(1200, 900);
    area.show();
    KForm::setDefaultArea(&area);
}

// A memory figure of this process's status ("VmHWM", "VmRSS": the line "NAME: N kB"), in
// megabytes.
inline double statusMegabytes(const QByteArray &name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = name + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// This process's peak memory so far, in megabytes.
inline double peakMegabytes()
{
    return statusMegabytes("VmHWM");
}

// Empties the kernel's page cache, so that the next run reads its files from disk. Only
// root may; false otherwise.
inline bool dropPageCache()
{
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    return drop.open(QIODevice::WriteOnly) && drop.write("3\n") == 2;
}

// Evicts every file of the site in `dir` from the kernel's page cache, so that the next
// run reads the pages from the disk; needs no special rights, and leaves the rest of the
// machine's cache alone.
inline bool evictSite(const QString &dir)
{
    bool all = true;
    QDirIterator files(dir, QDir::Files);
    while (files.hasNext()) {
        const int fd = ::open(QFile::encodeName(files.next()).constData(), O_RDONLY);
        if (fd < 0) {
            all = false;
            continue;
        }
        ::fdatasync(fd);
        all = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0 && all;
        ::close(fd);
    }
    return all;
}

// The value at `share` (0 to 1) of the way through `values` sorted; -1 for none.
inline double percentile(QList<double> values, double share)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, qsizetype(share * double(values.size()))));
}

inline double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}
