#pragma once
// The texts the page editor, its page files and its recovery copies show the user, kept
// in one place.

#include <QString>

namespace editorTexts {

// What an editor shows before its page is read, and its controls' tips.
inline const QString initialText = QStringLiteral("読み込み失敗\r\n");
inline const QString txtEditTip = QStringLiteral("ごめんなさい。最大32KBだそうです。代替案を検討中です。");
inline const QString cmdSavTip = QStringLiteral("上書き保存");
inline const QString cmdSAsTip = QStringLiteral("名前を付けて保存");
inline const QString cmdBrzTip = QStringLiteral("ＩＥで確認する");
inline const QString cmdCloTip = QStringLiteral("ＨＰ定義を閉じる");

// Writing a page and its preview.
inline const QString msgSaveFailed = QStringLiteral("ファイルの保存に失敗しました。");
inline const QString msgPreviewFailed = QStringLiteral("プレビューファイルの作成に失敗しました。");
inline const QString msgBrowserFailed = QStringLiteral("ブラウザを起動できませんでした。");
// The live preview: a page it cannot show, and a server that could not start.
inline const QString msgLiveUnsaved
    = QStringLiteral("一度も保存していないページはライブプレビューで表示できません。先に保存してください。");
inline const QString msgLiveNoFolder
    = QStringLiteral("ライブプレビューにはサイトのフォルダが必要です。サイトの設定でフォルダを指定してください。");
inline const QString msgLiveOutside
    = QStringLiteral("このページはサイトのフォルダの外にあるため、ライブプレビューでは表示できません。");
inline const QString msgLiveStartFailed = QStringLiteral("ライブプレビューを開始できませんでした。");
// The question before an unread page replaces its file.
inline const QString msgOverwriteUnread = QStringLiteral("このページは読み込めなかったため空です。上書きしますか？");
// The system's encoding cannot carry the name.
inline const QString msgNameUnusable = QStringLiteral("このファイル名はシステムの文字コードで表せないため使えません。");
// The definition file cannot hold the name.
inline const QString msgNameNotInDefinition
    = QStringLiteral("フォルダ名の「*」やファイル名・フォルダ名の改行は定義ファイルに書けないため使えません。");

// The save dialog's filter: hypertext files, then text files.
inline const QString pageFilter = QStringLiteral("ハイパーテキスト(*.htm;*.html)|*.htm;*.html|テキスト(*.txt)|*.txt");

// The question when recovery copies are found, and the heading of the pages whose file
// changed since their copy was taken.
inline const QString recoveryQuestion = QStringLiteral("前回保存されなかった変更が見つかりました。復元しますか？");
inline const QString recoveryChangedPages
    = QStringLiteral("次のページのファイルは、変更が残された後に書き換えられています。"
                     "復元すると、保存するまでその内容に置き換わります:");

// Find and replace: the editor's find bar and the site-wide search window.
inline const QString findLabel = QStringLiteral("検索:");
inline const QString replaceLabel = QStringLiteral("置換:");
inline const QString findNextButton = QStringLiteral("次へ");
inline const QString findNextTip = QStringLiteral("次を検索 (F3)");
inline const QString findPreviousButton = QStringLiteral("前へ");
inline const QString findPreviousTip = QStringLiteral("前を検索 (Shift+F3)");
inline const QString matchCase = QStringLiteral("大文字と小文字を区別");
inline const QString wholeWord = QStringLiteral("単語単位");
inline const QString regex = QStringLiteral("正規表現");
inline const QString replaceOneButton = QStringLiteral("置換");
inline const QString replaceAllButton = QStringLiteral("すべて置換");
inline const QString replacementTip = QStringLiteral(
    "正規表現のときは \\0 が一致した全体、\\1～\\9 がグループ、\\n が改行、\\t がタブ、\\\\ が \\ になります");
inline const QString closeBarTip = QStringLiteral("閉じる (Esc)");
inline const QString notFound = QStringLiteral("見つかりません");
inline const QString wrappedToStart = QStringLiteral("先頭に戻って検索しました");
inline const QString wrappedToEnd = QStringLiteral("末尾に戻って検索しました");
inline QString replacedCount(qsizetype n)
{
    return QStringLiteral("%1 件置換しました").arg(n);
}
inline QString regexError(const QString &why)
{
    return QStringLiteral("正規表現の誤り: ") + why;
}

inline const QString siteFindCaption = QStringLiteral("サイト内検索");
inline const QString siteFind = QStringLiteral("検索");
inline const QString siteReplaceAll = QStringLiteral("すべてのページで置換");
inline const QString hitPage = QStringLiteral("ページ");
inline const QString hitLine = QStringLiteral("行");
inline const QString hitText = QStringLiteral("内容");
inline QString hitCount(qsizetype hits, qsizetype pages)
{
    return QStringLiteral("%1 件 (%2 ページ)").arg(hits).arg(pages);
}
inline QString siteReplacedCount(qsizetype hits, qsizetype pages)
{
    return QStringLiteral("%1 ページで %2 件置換しました (未保存)").arg(pages).arg(hits);
}

// The status line below the text box: the caret's place, its line and column, both
// counted from 1.
inline QString caretPlace(int line, int column)
{
    return QStringLiteral("%1 行、%2 列").arg(line).arg(column);
}

// The status line while a long page still goes into the text box.
inline QString caretPlaceLoading(int line, int column, int percent)
{
    return QStringLiteral("%1 行、%2 列　読み込み中 %3%").arg(line).arg(column).arg(percent);
}

}   // namespace editorTexts
