// The site tree's reading and writing of the definition file.

#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "editor/frmChild1.h"
#include "site/SiteFile.h"
#include "tree/frmTree.h"
#include "tree/PageScan.h"
#include "tree/TreeTexts.h"
#include "platform/Messages.h"

#include <QDir>

using namespace basSystem;

bool frmTree::gfReadKSD(const QString &path)
{
    const ksd::Definition d = ksd::readDefinition(path);
    switch (d.stop) {
    case ksd::ReadStop::Missing: ShowMessage(treeTexts::definitionReadFailed); return false;
    case ksd::ReadStop::Unreadable:
        gSite.Version.clear();   // a failed read leaves the version empty
        ShowMessage(failureText(treeTexts::definitionReadFailed, QDir::toNativeSeparators(path), d.error));
        return false;
    case ksd::ReadStop::NotDefinition:
        gSite.Version = d.site.Version;
        ShowMessage(treeTexts::notDefinition);
        return false;
    case ksd::ReadStop::NoPages:
    case ksd::ReadStop::Listed: break;
    }
    gSite.Version = d.site.Version;
    gSite.Name = d.site.Name;
    gSite.Folder = d.site.Folder;
    gSite.URL = d.site.URL;
    gSite.FilePath = d.site.FilePath;
    if (d.stop == ksd::ReadStop::NoPages)
        return false;
    const QPointer<frmTree> self(this);
    const KForm::ShowBatch batch;   // the last page shown ends up active, as if each were
    QStringList paths;
    paths.reserve(d.pages.size());
    for (const ksd::PageEntry &entry : d.pages)
        paths << entry.Folder + entry.FileName;
    PageScanAhead scans(std::move(paths));
    for (qsizetype i = 0; i < d.pages.size(); ++i) {
        if (!self)
            return false;
        const ksd::PageEntry &entry = d.pages.at(i);
        addScannedPage(entry.Folder, entry.FileName, [&scans, i] { return scans.take(i); });
        if (frmChild1 *editor = liveEditor(gPageEditors.constLast())) {
            if (entry.open)
                editor->Show();
            else
                editor->Hide();
        }
    }
    return true;
}

bool frmTree::gfWriteKSD()
{
    if (pageCount() == 0) {
        ShowMessage(treeTexts::emptyDefinition);
        return false;
    }
    QList<ksd::PageEntry> pages;
    pages.reserve(pageCount());
    for (qsizetype i = 1; i <= pageCount(); ++i) {
        const frmChild1 *editor = i < gPageEditors.size() ? liveEditor(gPageEditors.at(i)) : nullptr;
        const PageRecord &page = gPageTable.at(i);
        pages << ksd::PageEntry{editor && editor->Visible(), page.Folder, page.FileName};
    }
    QString error;
    if (!ksd::writeDefinition(gSite.FilePath, gSite, pages, &error)) {
        ShowMessage(failureText(treeTexts::definitionWriteFailed, gSite.FilePath, error));
        return false;
    }
    if (!mbQuietSuccess)
        ShowMessage(treeTexts::definitionWritten);
    return true;
}
