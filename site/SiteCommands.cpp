#include "site/SiteCommands.h"
#include "common/TextHelpers.h"
#include "site/SiteTexts.h"

#include <algorithm>

namespace siteCommands {

const QString definitionExt = QStringLiteral("ksd");
namespace {
const QString ksdSuffix = QStringLiteral(".ksd");
const QString crLf = QStringLiteral("\r\n");
const QString noAddress = QStringLiteral("http://");
}   // namespace

QString definitionPath(const QString &chosen)
{
    if (chosen.right(4).toLower() == ksdSuffix)
        return chosen;
    return chosen + ksdSuffix;
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

DefinitionContent definitionContent(const basSystem::SiteInfo &site, const QList<basSystem::PageRecord> &pages)
{
    DefinitionContent content{site.Name, site.Folder, site.URL, {}};
    content.pagePaths.reserve(pages.size());
    for (qsizetype i = 1; i < pages.size(); ++i)
        content.pagePaths << pages.at(i).Folder + pages.at(i).FileName;
    return content;
}

bool recordsContent(const DefinitionContent &content, const basSystem::SiteInfo &site,
                    const QList<basSystem::PageRecord> &pages)
{
    if (content.Name != site.Name || content.Folder != site.Folder || content.URL != site.URL
        || content.pagePaths.size() != std::max<qsizetype>(0, pages.size() - 1))
        return false;
    for (qsizetype i = 1; i < pages.size(); ++i)
        if (!recordsPagePath(content, pages, i))
            return false;
    return true;
}

bool recordsPagePath(const DefinitionContent &content, const QList<basSystem::PageRecord> &pages, qsizetype id)
{
    if (id < 1 || id >= pages.size() || id > content.pagePaths.size())
        return false;
    const QStringView path = content.pagePaths.at(id - 1);
    const basSystem::PageRecord &page = pages.at(id);
    return path.size() == page.Folder.size() + page.FileName.size() && path.startsWith(page.Folder)
        && path.mid(page.Folder.size()) == page.FileName;
}

QString pageDisplayName(const basSystem::PageRecord &page)
{
    if (!page.Title.isEmpty())
        return page.Title;
    if (!page.FileName.isEmpty())
        return page.FileName;
    return siteTexts::untitledPage;
}

QString unsavedChangesPrompt(const QStringList &pages, const QString &definition)
{
    QString prompt = siteTexts::unsavedChangesQuestion + QLatin1Char('\n');
    for (const QString &page : pages)
        prompt += basSystem::listItem + page;
    if (!definition.isEmpty())
        prompt += basSystem::listItem + siteTexts::definitionItem + definition;
    return prompt;
}

}   // namespace siteCommands
