#pragma once
// The texts the site tree shows the user (its buttons' tips and what reading pages and
// the definition file tells), kept in one place.

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

// Reading and writing the definition file.
inline const QString definitionReadFailed = QStringLiteral("定義ファイルの取得に失敗しました。");
inline const QString notDefinition = QStringLiteral("指定されたファイルは、定義ファイルではありません。");
inline const QString emptyDefinition = QStringLiteral("空の定義ファイルは登録できません");
inline const QString definitionWriteFailed = QStringLiteral("定義ファイルの更新に失敗しました。");
inline const QString definitionWritten = QStringLiteral("更新しました");

}   // namespace treeTexts
