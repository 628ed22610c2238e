#pragma once
// The texts the page editor and its page files show the user, kept in one place.

#include <QString>

namespace editorTexts {

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

}   // namespace editorTexts
