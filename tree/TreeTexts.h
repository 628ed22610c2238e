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
// A page in an encoding the program cannot save back unchanged (UTF-16, UTF-32).
inline QString pageUnreadableEncoding(const QString &encoding)
{
    return QStringLiteral("このページは %1 で書かれているため開けません。Shift-JIS か UTF-8 で保存し直してください。")
        .arg(encoding);
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
inline const QString mendTip = QStringLiteral("クリックすると、リンク先を作成・変更できます。");
// The tooltip of a broken link: the path looked for, the file whose name differs only in
// letter case when there is one, and what a click offers.
inline QString brokenLinkTip(const QString &lookedFor, const QString &onDisk)
{
    QString tip = brokenLinkText + QDir::toNativeSeparators(lookedFor);
    if (!onDisk.isEmpty())
        tip += QStringLiteral("\n") + caseDiffersText + QDir::toNativeSeparators(onDisk);
    return tip + QStringLiteral("\n") + mendTip;
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
inline QString siteCheckSummary(qsizetype broken, qsizetype anchors, qsizetype unlinked, qsizetype cased,
                                qsizetype notAddress)
{
    return QStringLiteral("リンク切れ %1 件、アンカー切れ %2 件、どこからもリンクされていないページ %3 件、"
                          "大文字・小文字の違い %4 件、アドレスではない値 %5 件")
        .arg(broken)
        .arg(anchors)
        .arg(unlinked)
        .arg(cased)
        .arg(notAddress);
}

// What the site check reads besides the tree's links, and mending from its report.
inline const QString siteCheckLine = QStringLiteral("行");
inline const QString siteCheckRefKind = QStringLiteral("参照");
inline const QString kindBrokenAnchor = QStringLiteral("アンカー切れ");
inline const QString kindNotAddress = QStringLiteral("アドレスではない");
inline const QString refPage = QStringLiteral("ページ");
inline const QString refImage = QStringLiteral("画像");
inline const QString refStyleSheet = QStringLiteral("スタイルシート");
inline const QString refScript = QStringLiteral("スクリプト");
inline const QString refFrame = QStringLiteral("フレーム");
inline const QString refObject = QStringLiteral("オブジェクト");
inline const QString mendCreate = QStringLiteral("作成(&N)");
inline const QString mendChange = QStringLiteral("変更(&G)");
inline const QString mendCase = QStringLiteral("大文字・小文字を直す(&L)");
inline const QString moveReferencedFile = QStringLiteral("参照先のファイルを移動(&I)…");
inline const QString mendNotFound
    = QStringLiteral("このリンクはページの中に見つかりませんでした。ページが編集されている可能性があります。");
inline const QString changeLinkTitle = QStringLiteral("リンク先のファイルを選択");
inline const QString changeLinkFilter = QStringLiteral("すべてのファイル (*.*)|*.*");
inline const QString saveCsv = QStringLiteral("CSVで保存(&S)");
inline const QString saveHtml = QStringLiteral("HTMLで保存(&M)");
inline const QString csvFilter = QStringLiteral("CSV ファイル (*.csv)|*.csv");
inline const QString htmlFilter = QStringLiteral("HTML ファイル (*.htm;*.html)|*.htm;*.html");
inline const QString reportTitle = QStringLiteral("リンクの検査");
inline const QString reportWriteFailed = QStringLiteral("レポートの保存に失敗しました。");

// Renaming and moving a page or another file of the site.
inline const QString renameCaption = QStringLiteral("名前の変更・移動");
inline const QString renameFile = QStringLiteral("ファイル");
inline const QString renameFolder = QStringLiteral("移動先のフォルダ(&F)");
inline const QString renameName = QStringLiteral("新しい名前(&N)");
inline const QString renameBrowse = QStringLiteral("参照(&B)…");
inline const QString renameApply = QStringLiteral("変更(&R)");
inline const QString renameCancel = QStringLiteral("キャンセル");
inline const QString renameChanges = QStringLiteral("変更の一覧");
inline const QString renameBrowseTitle = QStringLiteral("移動先と新しい名前を選択");
inline const QString renameColumnKind = QStringLiteral("変更");
inline const QString renameColumnFile = QStringLiteral("ファイル");
inline const QString renameColumnLine = QStringLiteral("行");
inline const QString renameColumnBefore = QStringLiteral("変更前");
inline const QString renameColumnAfter = QStringLiteral("変更後");
inline const QString renameRowMove = QStringLiteral("ファイルの移動");
inline const QString renameRowEntry = QStringLiteral("定義ファイルの項目");
inline const QString renameRowLink = QStringLiteral("リンクの書き換え");
inline const QString renameRowOwnLink = QStringLiteral("移動するファイルのリンク");
inline const QString renameRowBroken = QStringLiteral("リンク切れ（変更しません）");
inline const QString renamePlanning = QStringLiteral("変更を調べています…");
inline QString renameSummary(qsizetype links, qsizetype files, qsizetype broken)
{
    return QStringLiteral("%1 個のファイルで %2 個のリンクを書き換えます。リンク切れ %3 個はそのままです。")
        .arg(files)
        .arg(links)
        .arg(broken);
}
inline const QString renameNoName = QStringLiteral("新しい名前を入力してください。");
inline const QString renameBadName = QStringLiteral("名前に / や \\ は使えません。");
inline const QString renameNotAbsolute = QStringLiteral("移動先のフォルダは / から始まる場所で指定してください。");
inline const QString renameSamePlace = QStringLiteral("今と同じ名前と場所です。");
inline const QString renameTargetExists = QStringLiteral("移動先に同じ名前のファイルまたはフォルダがあります。");
inline const QString renameNameUnusable = QStringLiteral("この名前はシステムの文字コードで表せないため使えません。");
inline const QString renameNameNotInDefinition = QStringLiteral("この名前は定義ファイルに書けないため使えません。");
inline const QString renameReadFailed = QStringLiteral("移動するファイルを読み込めませんでした: ");
// Applying and undoing a rename; the path and the system's reason follow on lines of their own.
inline const QString moveFailed = QStringLiteral("ファイルの移動に失敗しました。何も変更していません。");
inline const QString moveTargetExists
    = QStringLiteral("移動先に同じ名前のファイルがあるため移動できません。何も変更していません。");
inline const QString moveWriteFailed = QStringLiteral("ファイルの書き換えに失敗しました。何も変更していません。");
inline const QString moveFileChanged
    = QStringLiteral("変更の一覧を作った後でファイルが変わりました。何も変更していません。");
inline const QString pageNotOnDisk
    = QStringLiteral("このページはまだ保存されていません。名前を付けて保存してください。");
inline const QString undoRenameGone = QStringLiteral("元に戻せる名前の変更はありません。");
inline const QString undoRenameSaved = QStringLiteral("名前の変更の後で保存されたページがあるため、元に戻せません。");
inline const QString undoRenameEdited
    = QStringLiteral("書き換えたリンクがその後で編集されたため、名前の変更を元に戻せません。");
inline const QString undoRenameFailed = QStringLiteral("名前の変更を元に戻せませんでした。何も変更していません。");
inline const QString pickPageToRename = QStringLiteral("名前を変更するページを選択してください。");
inline const QString moveNameNotInCodePage = QStringLiteral("新しいリンクがファイルの文字コードで表せません。");
inline const QString changedSinceRename = QStringLiteral("名前の変更の後でファイルが変更されています。");
// Removing a page: its file can go to the desktop's trash too.
inline QString trashPrompt(const QString &path, const QStringList &links, qsizetype total)
{
    QString text = QStringLiteral("ファイルもごみ箱に移動しますか？\n%1").arg(path);
    if (total == 0)
        return text;
    text += QStringLiteral("\n\n次の %1 個のリンクがリンク切れになります。\n").arg(total);
    text += links.join(u'\n');
    if (total > links.size())
        text += QStringLiteral("\n…ほか %1 個").arg(total - links.size());
    return text;
}
inline QString trashLink(const QString &file, qint32 line, const QString &value)
{
    return QStringLiteral("%1 %2 行目: %3").arg(file).arg(line).arg(value);
}
inline const QString trashFailed = QStringLiteral("ファイルをごみ箱に移動できませんでした。ページは外していません。");
inline const QString chooseFileToMove = QStringLiteral("移動するファイルを選択");
inline const QString renameTitleMenu = QStringLiteral("名前の変更・移動(&M)…");

}   // namespace treeTexts
