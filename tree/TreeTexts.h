#pragma once
// The texts the site tree shows the user (its buttons' tips and what reading pages and
// the definition file tells), kept in one place.

#include <QDir>
#include <QString>

namespace treeTexts {

// The button row's tips, left to right.
inline const QString tipCre = QStringLiteral("ＨＰ定義の新規作成（なんか、まだ動きがおかしいですね）");
inline const QString tipOpe = QStringLiteral("ＨＰ定義を開く");
inline const QString tipSav = QStringLiteral("ＨＰ定義の上書き保存");
inline const QString tipSAs = QStringLiteral("ＨＰ定義に名前を付けて保存");
inline const QString tipHCr = QStringLiteral("新規HTMLを作成");
inline const QString tipHAd = QStringLiteral("既存HTMLを読み込み、定義に追加する");
inline const QString tipDel = QStringLiteral("HTMLを定義から外す（ファイルは残ります）");
inline const QString tipPrp = QStringLiteral("定義ファイルの設定");
inline const QString tipClo = QStringLiteral("アプリケーションを閉じる");

// Reading a page.
inline const QString pageReadFailed = QStringLiteral("ページの読み込みに失敗しました。");
inline QString pageTooLarge(qint64 size, qint64 limit)
{
    return QStringLiteral("ページが大きすぎるため開けません（%1 バイト、上限 %2 バイト）。").arg(size).arg(limit);
}
inline QString pageTooManyLines(qsizetype lines, qsizetype limit)
{
    return QStringLiteral("ページの行数が多すぎるため開けません（%1 行、上限 %2 行）。").arg(lines).arg(limit);
}

// Reading and writing the definition file.
inline const QString definitionReadFailed = QStringLiteral("定義ファイルの取得に失敗しました。");
inline const QString notDefinition = QStringLiteral("指定されたファイルは、定義ファイルではありません。");
inline const QString emptyDefinition = QStringLiteral("空の定義ファイルは登録できません");
inline const QString definitionWriteFailed = QStringLiteral("定義ファイルの更新に失敗しました。");
inline const QString definitionWritten = QStringLiteral("更新しました");

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
inline const QString linksBeingChecked = QStringLiteral("リンクを検査しています…");
inline const QString siteCheckAllGood = QStringLiteral("問題は見つかりませんでした。");
inline QString siteCheckSummary(qsizetype broken, qsizetype unlinked, qsizetype cased)
{
    return QStringLiteral("リンク切れ %1 件、どこからもリンクされていないページ %2 件、大文字・小文字の違い %3 件")
        .arg(broken)
        .arg(unlinked)
        .arg(cased);
}

}   // namespace treeTexts
