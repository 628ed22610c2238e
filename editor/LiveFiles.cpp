#include "editor/LiveFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace liveFiles {

namespace {
// Where the open file `fd` really is, as the system names it.
QString realPathOf(int fd)
{
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    char buffer[4096];
    const ssize_t n = ::readlink(link.constData(), buffer, sizeof buffer);
    return n > 0 && size_t(n) < sizeof buffer ? QFile::decodeName(QByteArray(buffer, n)) : QString();
}

// Nothing at `path`: refused when the nearest folder that exists lies outside the site,
// so that the answer tells nothing about files out there.
Opened missing(const QString &root, const QString &path)
{
    Opened result;
    result.path = path;
    QString folder = QFileInfo(path).path();
    while (!QFileInfo::exists(folder) && folder.size() > root.size())
        folder = QFileInfo(folder).path();
    const QString real = QFileInfo(folder).canonicalFilePath();
    if (!isInside(root, real))
        result.kind = Opened::Refused;
    return result;
}
}   // namespace

bool isInside(const QString &root, const QString &path)
{
    return path == root || (path.startsWith(root) && path.at(root.size()) == QLatin1Char('/'));
}

Opened open(const QString &root, const QString &sitePath)
{
    const QString path = sitePath == QLatin1String("/") ? root : root + sitePath;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return missing(root, QDir::cleanPath(path));
        return Opened{Opened::Refused, -1, 0, QString()};
    }
    Opened result;
    struct stat st { };
    result.path = realPathOf(fd);
    if (::fstat(fd, &st) != 0 || !isInside(root, result.path) || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) {
        ::close(fd);
        result.kind = Opened::Refused;
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        result.kind = Opened::Folder;
        return result;
    }
    result.kind = Opened::File;
    result.fd = fd;
    result.size = st.st_size;
    return result;
}

}   // namespace liveFiles
