#include "editor/PageFiles.h"
#include "common/TextFile.h"
#include "editor/RecoveryCopy.h"

namespace pageFiles {

const QString msgSaveFailed = QStringLiteral("ファイルの保存に失敗しました。");
const QString msgPreviewFailed = QStringLiteral("プレビューファイルの作成に失敗しました。");
const QString msgBrowserFailed = QStringLiteral("ブラウザを起動できませんでした。");

const QString pageFilter = QStringLiteral("ハイパーテキスト(*.htm;*.html)|*.htm;*.html|テキスト(*.txt)|*.txt");
const QString pageDefaultExt = QStringLiteral("htm");

bool writePageText(const QString &path, const QString &text, TextEncoding encoding, QString *error,
                   QByteArray *writtenHash)
{
    const QByteArray bytes = encodeWithReferences(text, encoding);
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

QString previewFileName(qint32 pageId)
{
    return QStringLiteral("temp") + QString::number(pageId) + QStringLiteral(".htm");
}

} // namespace pageFiles
