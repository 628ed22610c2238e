#pragma once
// The texts the shared file routines hand back for the user to read, kept in one place.

#include <QString>

namespace commonTexts {

// Why a file was not read: it is larger than the program reads for its kind.
inline QString fileTooLarge(qint64 size, qint64 limit)
{
    return QStringLiteral("ファイルが大きすぎるため読み込みません（%1 バイト、上限 %2 バイト）。").arg(size).arg(limit);
}

}   // namespace commonTexts
