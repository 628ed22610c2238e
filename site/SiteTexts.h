#pragma once
// The texts the site's commands and the properties dialog show the user, kept in one
// place.

#include <QString>

namespace siteTexts {

// The tree window's caption while no definition has been opened or named.
inline const QString newDefinitionCaption = QStringLiteral("新規作成");
inline const QString definitionFilter = QStringLiteral("定義ファイル (*.ksd)|*.ksd");
inline const QString newPagePrompt = QStringLiteral("ページのタイトルを入力して下さい。");
inline const QString newPageBoxTitle = QStringLiteral("新規ページ作成");
// The hint when no editor names the page to remove.
inline const QString pickPageToRemove = QStringLiteral("外すページのウィンドウを選んでから、もう一度実行して下さい。");
// A page with neither a title nor a file name.
inline const QString untitledPage = QStringLiteral("（無題のページ）");

// The question before a page leaves the definition, naming its title.
inline QString removePagePrompt(const QString &title)
{
    return QStringLiteral("「") + title + QStringLiteral("」をサイトから外しますか？ファイルは削除されません。");
}
// The same for a page with unsaved changes: the question before unsaved changes are lost
// follows on the next line.
inline QString removingPage(const QString &title)
{
    return QStringLiteral("「") + title + QStringLiteral("」をサイトから外します。ファイルは削除されません。\n");
}

// The question before unsaved changes would be lost, and how it names the definition.
inline const QString unsavedChangesQuestion = QStringLiteral("保存されていない変更があります。保存しますか？");
inline const QString definitionItem = QStringLiteral("定義ファイル: ");

// The properties dialog.
inline const QString propCaption = QStringLiteral("定義ファイルの設定");
inline const QString propNoName = QStringLiteral("サイトの名前を付けてください。いつでも変更できます。");
inline const QString propLineBreak
    = QStringLiteral("名前・フォルダ・ＵＲＬの改行は定義ファイルに書けないため使えません。");
inline const QString propLabels[3] = {QStringLiteral("名前"), QStringLiteral("フォルダ"), QStringLiteral("ＵＲＬ")};
inline const QString propApply = QStringLiteral("設定");
inline const QString propCancel = QStringLiteral("キャンセル");
inline const QString tipName = QStringLiteral("サイトの名前です。HTMLには反映されません。");
inline const QString tipPath
    = QStringLiteral("ファイルを開く際の初期フォルダです。作業中の親フォルダを指定すると便利です。");
inline const QString tipURL = QStringLiteral("インターネットサーバ上に割り当てられた場所です。現在、使用しません。");
inline const QString tipApply = QStringLiteral("画面の内容を有効にします。まだ「.ksd」への保存はしません。");
inline const QString tipCancel = QStringLiteral("入力内容を反映せずに、画面を閉じます。");
inline const QString pathTitle = QStringLiteral("フォルダ指定　：　対象フォルダ内の、任意のファイルを選んで下さい。");
inline const QString pathFilter = QStringLiteral("フォルダのみ取得します。任意のファイルを選んで下さい。(*.*)|*.*");

}   // namespace siteTexts
