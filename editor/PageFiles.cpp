#include "editor/PageFiles.h"
#include "common/PageLimits.h"
#include "common/TextFile.h"
#include "common/PageHash.h"
#include "editor/EditorTexts.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace pageFiles {

const QString pageDefaultExt = QStringLiteral("htm");

bool writePageText(const QString &path, const QString &text, TextEncoding encoding, QString *error,
                   QByteArray *writtenHash)
{
    const QByteArray bytes = encodeWithReferences(text, encoding);
    if (const std::optional<PageExcess> excess = pageExcess(bytes.size(), pageLineCount(text))) {
        if (error)
            *error = editorTexts::saveRefused(*excess);
        return false;
    }
    if (!writeFileAtomic(path, bytes, error))
        return false;
    if (writtenHash)
        *writtenHash = pageFileHash(bytes);
    return true;
}

bool writePreviewText(const QString &path, const QString &text, TextEncoding encoding, QString *error)
{
    return writeFileAtomic(path, encodeWithReferences(text, encoding), error, LinkPolicy::Replace);
}

namespace {
// True when `path` is missing but its file name written in code page 932 names a file.
bool existsOnlyInCodePage(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/')) + 1;
    const std::optional<QByteArray> name = encodeStrict(path.sliced(cut), TextEncoding::Cp932);
    if (!name)
        return false;
    const QByteArray raw = QFile::encodeName(path.first(cut)) + *name;
    struct stat st;
    return raw != QFile::encodeName(path) && !QFileInfo(path).exists() && ::lstat(raw.constData(), &st) == 0;
}
}   // namespace

bool systemCarriesName(const QString &path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == QChar::ReplacementCharacter)
            return false;
        if (c.isHighSurrogate() && i + 1 < path.size() && path.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return QFile::decodeName(QFile::encodeName(path)) == path && !existsOnlyInCodePage(path);
}

QString previewFileName(qint32 pageId)
{
    return QStringLiteral("temp") + QString::number(pageId) + QStringLiteral(".htm");
}

}   // namespace pageFiles
