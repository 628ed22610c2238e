#include "site/SiteCommands.h"
#include "editor/PageFiles.h"
#include "platform/FileDialog.h"

namespace siteCommands {

const QString newDefinitionCaption = QStringLiteral("新規作成");
const QString definitionFilter = QStringLiteral("定義ファイル (*.ksd)|*.ksd");
const QString definitionExt = QStringLiteral("ksd");
const QString newPagePrompt = QStringLiteral("ページのタイトルを入力して下さい。");
const QString newPageBoxTitle = QStringLiteral("新規ページ作成");
const QString removePageMessage = QStringLiteral("作らなきゃね！（忘れてたよ）");

namespace {
const QString ksdSuffix = QStringLiteral(".ksd");
const QString crLf = QStringLiteral("\r\n");
const QString noAddress = QStringLiteral("http://");
} // namespace

void prepareDefinitionDialog(FileDialog &dlgProj, const QString &curDir)
{
    if (dlgProj.FileName.isEmpty())
        dlgProj.InitDir = curDir;
    dlgProj.DefaultExt = definitionExt;
    dlgProj.Filter = definitionFilter;
}

void preparePageDialog(FileDialog &dlgTree, const QString &siteFolder)
{
    dlgTree.Filter = pageFiles::pageFilter;
    dlgTree.FilterIndex = 1;
    if (dlgTree.InitDir.isEmpty())
        dlgTree.InitDir = siteFolder;
}

void resetPageDialog(FileDialog &dlgTree)
{
    dlgTree.InitDir.clear();
    dlgTree.FileName.clear();
}

QString definitionPath(const QString &chosen)
{
    if (chosen.right(4).toLower() == ksdSuffix)
        return chosen;
    return chosen + ksdSuffix;
}

QString folderOfChosenFile(const QString &fullPath, const QString &fileName)
{
    return fullPath.left(std::max<qsizetype>(0, fullPath.size() - fileName.size()));
}

QString pageSkeleton(const QString &title)
{
    return QStringLiteral("<HTML>") + crLf + QStringLiteral("<TITLE>") + title + QStringLiteral("</TITLE>") + crLf
        + QStringLiteral("<BODY>") + crLf + QStringLiteral("</BODY>") + crLf + QStringLiteral("</HTML>");
}

SiteProperties propertiesToEdit(const basSystem::SiteInfo &site, const QString &curDir)
{
    return SiteProperties{site.Name, site.Folder.isEmpty() ? curDir : site.Folder,
                          site.URL.isEmpty() ? noAddress : site.URL};
}

bool acceptsSiteName(const QString &name)
{
    return !name.isEmpty();
}

void applyProperties(basSystem::SiteInfo &site, const SiteProperties &values)
{
    site.Name = values.Name;
    site.Folder = values.Folder;
    site.URL = values.URL;
}

} // namespace siteCommands
