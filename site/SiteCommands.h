#pragma once
// The rules behind the site tree's definition and page commands and the properties
// dialog, apart from any window: how the file dialogs are prepared, the ".ksd" rule of
// save as, the skeleton of a new page, the folder of a chosen file, and what the
// properties dialog shows and stores.

#include "site/SiteRecords.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace siteCommands {

extern const QString definitionExt;   // "ksd"

// The path save as writes to: `chosen` itself when its last four characters are ".ksd"
// in any letter case, otherwise `chosen` followed by ".ksd".
QString definitionPath(const QString &chosen);

// The text of a new page: five lines joined by CR LF, no line break after the last, and
// the title between the TITLE tags exactly as typed.
QString pageSkeleton(const QString &title);

// What a definition file records of the open site: its properties and where its pages
// are. Two equal contents write the same file, so comparing the content against the one
// last read or written tells whether the definition holds unsaved changes.
struct DefinitionContent {
    QString Name;
    QString Folder;
    QString URL;
    QStringList pagePaths;   // folder + file name of every page, in order
    friend bool operator==(const DefinitionContent &, const DefinitionContent &) = default;
};
DefinitionContent definitionContent(const basSystem::SiteInfo &site, const QList<basSystem::PageRecord> &pages);
// Whether `content` is what `site` and `pages` record, without making their content (the
// change marks ask this at every keystroke that modifies or restores a page).
bool recordsContent(const DefinitionContent &content, const basSystem::SiteInfo &site,
                    const QList<basSystem::PageRecord> &pages);
// Whether `content` records page `id` of `pages` where it is now.
bool recordsPagePath(const DefinitionContent &content, const QList<basSystem::PageRecord> &pages, qsizetype id);

// The question asked before unsaved changes would be discarded, naming the modified pages
// (their titles, or file names where a title is empty) and, when `definition` is not
// empty, the definition.
QString unsavedChangesPrompt(const QStringList &pages, const QString &definition);
// How a page is named in that question.
QString pageDisplayName(const basSystem::PageRecord &page);

// What the properties dialog edits.
struct SiteProperties {
    QString Name;
    QString Folder;
    QString URL;
    friend bool operator==(const SiteProperties &, const SiteProperties &) = default;
};

// What the dialog shows when it opens: the site's values, with the working folder for a
// site without a folder and "http://" for a site without an address.
SiteProperties propertiesToEdit(const basSystem::SiteInfo &site, const QString &curDir);
// Only a completely empty name is refused; blanks make a name.
bool acceptsSiteName(const QString &name);
// Stores the three values unchanged into the site record.
void applyProperties(basSystem::SiteInfo &site, const SiteProperties &values);

}   // namespace siteCommands
