#include "editor/PageFiles.h"
#include "common/TextFile.h"

namespace pageFiles {

const QString msgSaveFailed = QStringLiteral("ファイルの保存に失敗しました。");
const QString msgPreviewFailed = QStringLiteral("プレビューファイルの作成に失敗しました。");
const QString msgBrowserFailed = QStringLiteral("ブラウザを起動できませんでした。");

const QString pageFilter = QStringLiteral("ハイパーテキスト(*.htm;*.html)|*.htm;*.html|テキスト(*.txt)|*.txt");
const QString pageDefaultExt = QStringLiteral("htm");

bool writePageText(const QString &path, const QString &text, TextEncoding encoding)
{
    return writeFileAtomic(path, encodeWithReferences(text, encoding));
}

QString previewFileName(qint32 pageId)
{
    return QStringLiteral("temp") + QString::number(pageId) + QStringLiteral(".htm");
}

QString withPath(const QString &message, const QString &path)
{
    return message + QLatin1Char('\n') + path;
}

} // namespace pageFiles
