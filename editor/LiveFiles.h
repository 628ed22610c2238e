#pragma once
// Opening what a site path names, never outside the site's folder: the file is opened
// first and its real place checked afterwards, so that a link swapped in between cannot
// lead out. Devices and pipes are refused before they could block a read.

#include <QString>

namespace liveFiles {

struct Opened {
    enum Kind {
        File,      // `fd` is open for reading (the caller closes it), `size` its size
        Folder,    // a folder of the site
        Missing,   // nothing there; `path` is where it was looked for
        Refused,   // outside the site's folder, or no regular file
    };
    Kind kind = Missing;
    int fd = -1;
    qint64 size = 0;
    QString path;   // the real path (links resolved) of a file or folder
};

// Opens site path `sitePath` ("/", "/a/b.htm") inside `root`, a canonical folder path
// without a trailing separator.
Opened open(const QString &root, const QString &sitePath);

// True when `path` is `root` or inside it.
bool isInside(const QString &root, const QString &path);

}   // namespace liveFiles
