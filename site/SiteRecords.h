#pragma once
// The records of an open site: the definition's header and one record per page. They
// know no window; the shared state holds them beside the pages' editors.

#include "common/TextCodec.h"

#include <QString>
#include <QStringList>

namespace basSystem {

struct SiteInfo {
    QString Version;
    QString Name;
    QString FilePath;
    QString Folder;
    QString URL;
};

struct PageRecord {
    QString Title;
    QString FileName;
    QString Folder;      // ends with the path separator; full path = Folder + FileName
    QStringList Links;   // index 0 holds nothing; links stand at 1 to the upper bound
    QString Text;
    QString OrigText;
    qint32 TreeTop = 0;
    // The code page the page was read in, so that saving writes it back the same way.
    TextEncoding Encoding = TextEncoding::Cp932;
};

}   // namespace basSystem
