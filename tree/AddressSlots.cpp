#include "tree/AddressSlots.h"
#include "tree/SiteLinks.h"

namespace linkCheck {

bool AddressSlots::setBase(const Base &base)
{
    if (mHasBase && base.usable == mBase.usable && base.rootLength == mBase.rootLength && base.path == mBase.path)
        return false;
    mHasBase = true;
    mBase = base;
    // Folders of a site hold about as many addresses as the last: room for as many.
    const qsizetype last = mSlots.size();
    mSlots.clear();
    mSlots.reserve(last);
    mCount = 0;
    return true;
}

qint32 AddressSlots::slotOf(QStringView address, QList<Resolution> &fresh)
{
    // Looked up without a copy of the address.
    if (const auto it = mSlots.constFind(QString::fromRawData(address.data(), address.size())); it != mSlots.cend())
        return *it;
    Resolution r;
    r.notAddress = pageRefs::isNotAddress(address);
    if (!r.notAddress) {
        const Resolved resolved = resolveInto(r.path, address, mBase, mSite);
        r.kind = resolved.kind;
        r.folder = resolved.folder;
        if (r.kind == LinkKind::File)
            r.key = targetKey(r.path);
    }
    fresh << std::move(r);
    mSlots.insert(address.toString(), mCount);
    return mCount++;
}

PageAhead readAhead(const basSystem::PageRecord &record, AddressSlots &numbering)
{
    PageAhead ahead{pageRefs::PageReading(record.Text), numbering.setBase(baseOf(record.Folder)), {}, {}, {}};
    ahead.linkSlots.reserve(record.Links.size());
    ahead.linkSlots << 0;
    ahead.fresh.reserve(record.Links.size() + ahead.refs.size());
    for (qsizetype j = 1; j < record.Links.size(); ++j)
        ahead.linkSlots << numbering.slotOf(record.Links.at(j), ahead.fresh);
    ahead.refSlots.reserve(ahead.refs.size());
    for (qsizetype i = 0; i < ahead.refs.size(); ++i)
        ahead.refSlots << numbering.slotOf(ahead.refs.at(record.Text, i).address, ahead.fresh);
    return ahead;
}

}   // namespace linkCheck
