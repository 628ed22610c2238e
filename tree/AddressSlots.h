#pragma once
// The addresses of a site's pages numbered for a check: the pages of one folder share most
// of their addresses, so each distinct address from a folder is resolved once (without the
// disk) and given a slot, which the check looks up on disk once. A page's reading hands the
// check the slot of each of its links and references, so that a reading made on another
// thread leaves the check no text to hash or compare.

#include "site/SiteRecords.h"
#include "tree/LinkCheck.h"
#include "tree/PageReferences.h"

#include <QHash>

namespace linkCheck {

// What an address means from one folder, worked out without the disk.
struct Resolution {
    bool notAddress = false;   // markup taken for a value (pageRefs::isNotAddress): never resolved
    LinkKind kind = LinkKind::Empty;
    bool folder = false;   // a file: the address names a folder, whose index page is meant
    quint32 key = 0;       // a file: targetKey of its path
    QString path;          // a file: where it is looked for
};

class AddressSlots
{
public:
    explicit AddressSlots(const Base &site) : mSite(site) { }
    // Addresses from now on are from `base`; true when the slots so far were forgotten
    // (another folder).
    bool setBase(const Base &base);
    // The slot of `address`, from 0 since the last forgetting; a new slot's resolution is
    // appended to `fresh`.
    qint32 slotOf(QStringView address, QList<Resolution> &fresh);

private:
    Base mSite;
    Base mBase;
    bool mHasBase = false;
    QHash<QString, qint32> mSlots;
    qint32 mCount = 0;
};

// A page read for its check: its references and anchors, and the slot of each of its tree
// links and references.
struct PageAhead {
    pageRefs::PageReading refs;
    bool restart = false;      // the slots before this page are forgotten
    QList<Resolution> fresh;   // the slots this page adds, in order
    QList<qint32> linkSlots;   // by tree link, 1 up (index 0 unused)
    QList<qint32> refSlots;    // by reference of `refs`
};
PageAhead readAhead(const basSystem::PageRecord &record, AddressSlots &numbering);

}   // namespace linkCheck
