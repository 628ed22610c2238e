#pragma once
// The texts the frame shows the user (its menus and the about box), kept in one place.

#include <QString>

namespace appTexts {

// The menus, with their keyboard accelerators.
inline const QString fileMenu = QStringLiteral("ファイル(&F)");
inline const QString newDefinition = QStringLiteral("新規作成(&N)");
inline const QString openDefinition = QStringLiteral("開く(&O)…");
inline const QString saveDefinition = QStringLiteral("上書き保存(&S)");
inline const QString saveDefinitionAs = QStringLiteral("名前を付けて保存(&A)…");
inline const QString siteProperties = QStringLiteral("サイトの設定(&P)…");
inline const QString recentSites = QStringLiteral("最近使ったサイト(&R)");
inline const QString noRecent = QStringLiteral("（なし）");
inline const QString quit = QStringLiteral("終了(&X)");

inline const QString pageMenu = QStringLiteral("ページ(&P)");
inline const QString newPage = QStringLiteral("新規ページ(&N)…");
inline const QString addPage = QStringLiteral("既存ページを追加(&A)…");
inline const QString removePage = QStringLiteral("サイトから外す(&D)…");
inline const QString renamePage = QStringLiteral("名前の変更・移動(&M)…");
inline const QString moveFile = QStringLiteral("ファイルの移動(&F)…");
inline const QString undoRename = QStringLiteral("名前の変更を元に戻す(&U)");
inline const QString savePage = QStringLiteral("ページを上書き保存(&S)");
inline const QString savePageAs = QStringLiteral("ページに名前を付けて保存(&V)…");
inline const QString previewPage = QStringLiteral("ブラウザで確認(&B)");
inline const QString closePage = QStringLiteral("ページを閉じる(&C)");
inline const QString livePreview = QStringLiteral("ライブプレビュー(&L)");
inline const QString stopLivePreview = QStringLiteral("ライブプレビューを停止(&T)");

inline const QString viewMenu = QStringLiteral("表示(&V)");
inline const QString siteTree = QStringLiteral("サイトツリー(&T)");
inline const QString tagList = QStringLiteral("タグリスト(&L)");
inline const QString focusTree = QStringLiteral("サイトツリーへ移動(&R)");
inline const QString focusTags = QStringLiteral("タグリストへ移動(&G)");

inline const QString windowMenu = QStringLiteral("ウィンドウ(&W)");
inline const QString cascade = QStringLiteral("重ねて表示(&C)");
inline const QString tile = QStringLiteral("並べて表示(&T)");
inline const QString nextPage = QStringLiteral("次のページ(&X)");
inline const QString previousPage = QStringLiteral("前のページ(&P)");

inline const QString helpMenu = QStringLiteral("ヘルプ(&H)");
inline const QString about = QStringLiteral("バージョン情報(&A)");

// The about box.
inline const QString aboutTitle = QStringLiteral("バージョン情報");
inline const QString aboutLine = QStringLiteral("小さなウェブサイトのHTMLページをまとめて編集するエディタ");
inline const QString licence = QStringLiteral("ライセンス: ");
// The folder holding the settings file and the tag database; the path follows on the next line.
inline const QString filesFolder = QStringLiteral("設定ファイルとタグデータベースのフォルダ:\n");

// A recent site whose definition file has gone; the path follows on the next line.
inline const QString missingDefinition = QStringLiteral("定義ファイルが見つかりません。\n");

// The site check command of the file menu.
inline const QString siteCheckCommand = QStringLiteral("リンクの検査(&K)…");

// The edit menu: the editing commands on the active page's text, then find and replace in
// the active page and across the site.
inline const QString editMenu = QStringLiteral("編集(&E)");
inline const QString undoCommand = QStringLiteral("元に戻す(&U)");
inline const QString redoCommand = QStringLiteral("やり直し(&Y)");
inline const QString cutCommand = QStringLiteral("切り取り(&T)");
inline const QString copyCommand = QStringLiteral("コピー(&C)");
inline const QString pasteCommand = QStringLiteral("貼り付け(&P)");
inline const QString selectAllCommand = QStringLiteral("すべて選択(&A)");
inline const QString findCommand = QStringLiteral("検索(&F)…");
inline const QString replaceCommand = QStringLiteral("置換(&R)…");
inline const QString findNextCommand = QStringLiteral("次を検索(&N)");
inline const QString findPreviousCommand = QStringLiteral("前を検索(&V)");
inline const QString findInSiteCommand = QStringLiteral("サイト内検索・置換(&S)…");

// The editors' word wrap, in the view menu.
inline const QString wordWrapCommand = QStringLiteral("右端で折り返す(&W)");

// The frame's status line while the live preview runs: its address, and a button that
// copies it.
inline const QString liveAddress = QStringLiteral("ライブプレビュー: ");
inline const QString copyLiveAddress = QStringLiteral("コピー");
inline const QString copyLiveAddressTip = QStringLiteral("アドレスをクリップボードにコピー");

}   // namespace appTexts
