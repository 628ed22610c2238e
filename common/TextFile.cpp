#include "common/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

TextFileContent readTextFile(const QString &path, DetectMode mode)
{
    TextFileContent content;
    const QFileInfo info(path);
    if (!info.exists()) {
        content.error = QStringLiteral("file not found");
        return content;
    }
    if (!info.isFile()) {
        content.error = QStringLiteral("not an ordinary file");
        return content;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        content.error = file.errorString();
        return content;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        content.error = file.errorString();
        return content;
    }
    content.encoding = detectEncoding(bytes, mode);
    content.text = decodeText(bytes, content.encoding);
    content.ok = true;
    return content;
}

bool writeFileAtomic(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    forEachLine(text, [&](QStringView line) { lines << line.toString(); });
    return lines;
}

QString normalizeToCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 32 + 2);
    forEachLine(text, [&](QStringView line) {
        out += line;
        out += QLatin1String("\r\n");
    });
    return out;
}
