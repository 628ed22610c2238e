#include "settings/StoredLayout.h"

#include <algorithm>

namespace storedLayout {

qint32 place(qint32 twips)
{
    return std::clamp(twips, -maxTwips, maxTwips);
}

qint32 size(qint32 twips, qint32 minimum)
{
    return std::clamp(twips, minimum, maxTwips);
}

}   // namespace storedLayout
