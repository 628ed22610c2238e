#pragma once
// The texts the tag palette shows the user, kept in one place.

#include <QString>

namespace tagTexts {

inline const QString caption = QStringLiteral("タグリスト");
inline const QString msgLoadFailed = QStringLiteral("タグデータベースの読み込みに失敗しました。");
inline const QString msgScrollNotYet = QStringLiteral("まだスクロールしません。縦に伸ばしてね");

}   // namespace tagTexts
