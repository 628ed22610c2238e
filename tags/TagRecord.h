#pragma once
// One tag of the tag database: the caption of its button and the text it types.

#include <QString>
#include <QStringList>

namespace basSystem {

struct TagRecord {
    QString ButtonCaption;
    QString TagText;
    QStringList Extra;   // one element, index 0: the rest of the line
};

}   // namespace basSystem
