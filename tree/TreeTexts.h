#pragma once
// The texts the site tree and its definition commands show the user, kept in one place.

#include <QDir>
#include <QString>

namespace treeTexts {

// Links and the site check.
inline const QString brokenLinkText = QStringLiteral("リンク先が見つかりません: ");
inline const QString caseDiffersText = QStringLiteral("大文字・小文字だけが違うファイルがあります: ");
// The tooltip of a broken link: the path looked for, and the file whose name differs
// only in letter case when there is one.
inline QString brokenLinkTip(const QString &lookedFor, const QString &onDisk)
{
    QString tip = brokenLinkText + QDir::toNativeSeparators(lookedFor);
    if (!onDisk.isEmpty())
        tip += QStringLiteral("\n") + caseDiffersText + QDir::toNativeSeparators(onDisk);
    return tip;
}
// The question before a linked file outside the definition is added as a page.
inline QString addLinkedPagePrompt(const QString &path)
{
    return QStringLiteral("このファイルはサイトのページではありません。ページとして追加しますか？\n")
        + QDir::toNativeSeparators(path);
}
inline const QString siteCheckCaption = QStringLiteral("リンクの検査");
inline const QString siteCheckCopy = QStringLiteral("コピー(&C)");
inline const QString siteCheckRecheck = QStringLiteral("再検査(&R)");
inline const QString siteCheckKind = QStringLiteral("種類");
inline const QString siteCheckPage = QStringLiteral("ページ");
inline const QString siteCheckLink = QStringLiteral("リンク");
inline const QString siteCheckTarget = QStringLiteral("探したファイル");
inline const QString kindBroken = QStringLiteral("リンク切れ");
inline const QString kindUnlinked = QStringLiteral("どこからもリンクされていない");
inline const QString kindCaseDiffers = QStringLiteral("大文字・小文字の違い");
inline const QString siteCheckAllGood = QStringLiteral("問題は見つかりませんでした。");
inline QString siteCheckSummary(qsizetype broken, qsizetype unlinked, qsizetype cased)
{
    return QStringLiteral("リンク切れ %1 件、どこからもリンクされていないページ %2 件、大文字・小文字の違い %3 件")
        .arg(broken)
        .arg(unlinked)
        .arg(cased);
}

}   // namespace treeTexts
