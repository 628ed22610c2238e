#pragma once
// The texts the page editor, its page files and its recovery copies show the user, kept
// in one place.

#include "common/PageLimits.h"
#include "editor/PatternMatcher.h"

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

// An edit or a save that would take the page past the limits a page is opened with.
inline QString editRefused(const PageExcess &excess)
{
    if (excess.measure == PageExcess::Measure::Lines)
        return QStringLiteral("この編集をするとページの行数が多くなりすぎるため、できません（%1 行、上限 %2 行）。")
            .arg(excess.size)
            .arg(excess.limit);
    return QStringLiteral("この編集をするとページが大きくなりすぎるため、できません（%1 バイト、上限 %2 バイト）。")
        .arg(excess.size)
        .arg(excess.limit);
}
inline QString saveRefused(const PageExcess &excess)
{
    if (excess.measure == PageExcess::Measure::Lines)
        return QStringLiteral("ページの行数が多すぎるため保存できません（%1 行、上限 %2 行）。")
            .arg(excess.size)
            .arg(excess.limit);
    return QStringLiteral("ページが大きすぎるため保存できません（%1 バイト、上限 %2 バイト）。")
        .arg(excess.size)
        .arg(excess.limit);
}

// The save dialog's filter: hypertext files, then text files.
inline const QString pageFilter = QStringLiteral("ハイパーテキスト(*.htm;*.html)|*.htm;*.html|テキスト(*.txt)|*.txt");

// The question when recovery copies are found, and the heading of the pages whose file
// changed since their copy was taken.
inline const QString recoveryQuestion = QStringLiteral("前回保存されなかった変更が見つかりました。復元しますか？");
inline const QString recoveryChangedPages
    = QStringLiteral("次のページのファイルは、変更が残された後に書き換えられています。"
                     "復元すると、保存するまでその内容に置き換わります:");
// Copies that are not read back: too large, not a copy at all, or of more lines than a
// page may have. The file's path follows on the next line.
inline QString copyTooLarge(qint64 size, qint64 limit)
{
    return QStringLiteral("復元用のコピーが大きすぎるため読み込みませんでした（%1 バイト、上限 %2 バイト）。")
        .arg(size)
        .arg(limit);
}
inline QString notACopy(qint64 size)
{
    return QStringLiteral("復元用フォルダに復元用のコピーではないファイルがあります（%1 バイト）。").arg(size);
}
inline QString copyTooManyLines(qsizetype lines, qsizetype limit)
{
    return QStringLiteral("復元用のコピーの行数が多すぎるため読み込みませんでした（%1 行、上限 %2 行）。")
        .arg(lines)
        .arg(limit);
}
// A copy restored beside another of the same page becomes a new page titled so.
inline QString secondCopyTitle(const QString &page)
{
    return page + QStringLiteral("（復元）");
}
// The status line's mark while the text is in no recovery copy, and its tooltip, which
// goes on with each place tried and the system's reason.
inline const QString recoveryFailedMark = QStringLiteral("　※復元用コピー失敗");
inline const QString recoveryFailedTip = QStringLiteral(
    "復元用のコピーを書き込めませんでした。このまま強制終了すると、保存していない変更は失われます。\n");
// Why a place cannot take recovery copies, under its path in the tooltip above.
inline const QString recoveryFolderNotMade = QStringLiteral("フォルダを作成できません");
inline const QString recoveryFolderNotAFolder = QStringLiteral("フォルダではありません");
inline const QString recoveryFolderOthers = QStringLiteral("ほかのユーザーのフォルダです");
inline const QString recoveryLockNotMade = QStringLiteral("ロックファイルを作成できません");
inline const QString recoveryInnerFolderNotMade = QStringLiteral("中にフォルダを作成できません");

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
// A regular expression the matcher gave up on, the limit it met, and where.
inline QString matcherLimit(PatternMatcher::Limit limit, int code)
{
    switch (limit) {
    case PatternMatcher::Limit::Steps: return QStringLiteral("照合の手順が上限を超えました");
    case PatternMatcher::Limit::Stack: return QStringLiteral("照合に使うスタックが上限を超えました");
    case PatternMatcher::Limit::Memory: return QStringLiteral("照合に使うメモリが上限を超えました");
    case PatternMatcher::Limit::Other: break;
    }
    return QStringLiteral("照合に失敗しました（エラー %1）").arg(code);
}
inline QString matcherFailed(int code, qsizetype line)
{
    return QStringLiteral("正規表現を照合できませんでした（%1 行目）: ").arg(line)
        + matcherLimit(PatternMatcher::limitOf(code), code);
}
inline QString matcherFailedInPage(int code, const QString &page, qsizetype line)
{
    return QStringLiteral("正規表現を照合できませんでした（ページ「%1」の %2 行目）: ").arg(page).arg(line)
        + matcherLimit(PatternMatcher::limitOf(code), code);
}
inline const QString nothingReplaced = QStringLiteral("置換しませんでした。");

inline const QString siteFindCaption = QStringLiteral("サイト内検索");
// The window's mnemonics leave the frame's menus theirs (F, E, P, V, W, H) and differ from
// the link check window's, which may stand beside it.
inline const QString siteFindLabel = QStringLiteral("検索(&K):");
inline const QString siteReplaceLabel = QStringLiteral("置換(&T):");
inline const QString siteFind = QStringLiteral("検索(&D)");
inline const QString siteReplaceAll = QStringLiteral("すべてのページで置換(&A)");
inline const QString siteMatchCase = QStringLiteral("大文字と小文字を区別(&U)");
inline const QString siteWholeWord = QStringLiteral("単語単位(&O)");
inline const QString siteRegex = QStringLiteral("正規表現(&X)");
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
// The site search while it runs, and when it was stopped.
inline QString searchProgress(qsizetype done, qsizetype total, qsizetype hits)
{
    return QStringLiteral("検索中 %1/%2 ページ、%3 件 (Esc で中止)").arg(done).arg(total).arg(hits);
}
inline QString replaceCheckProgress(qsizetype done, qsizetype total)
{
    return QStringLiteral("置換の準備中 %1/%2 ページ (Esc で中止)").arg(done).arg(total);
}
inline QString replaceProgress(qsizetype done, qsizetype total)
{
    return QStringLiteral("置換中 %1/%2 ページ").arg(done).arg(total);
}
inline QString searchCancelled(qsizetype hits, qsizetype pages)
{
    return QStringLiteral("検索を中止しました。中止までに %1 件 (%2 ページ)").arg(hits).arg(pages);
}
inline const QString replaceCancelled = QStringLiteral("置換を中止しました。どのページも変更していません。");
// A replacement across the site that would take a page past its limits.
inline QString pageEditRefused(const QString &page, const PageExcess &excess)
{
    return QStringLiteral("ページ「%1」: ").arg(page) + editRefused(excess);
}
// Pages edited while a replacement across the site was being prepared.
inline QString pagesNotReplaced(qsizetype pages)
{
    return QStringLiteral("、検索の後に編集された %1 ページは置換していません").arg(pages);
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
