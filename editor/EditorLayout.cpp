#include "editor/EditorLayout.h"
#include "common/FormLayout.h"

#include <algorithm>

namespace editorLayout {

Extent followOuterSize(Extent extent, int prevWidth, int prevHeight, int width, int height)
{
    using namespace formLayout;
    const TwipRect r = follow(TwipRect{0, 0, extent.width, extent.height},
                              sizeChange(prevWidth, prevHeight, width, height), Follow::Stretch);
    return Extent{r.width, r.height};
}

TwipRect textBoxRect(Extent extent)
{
    return TwipRect{txtEdit.left, txtEdit.top, std::max(0, extent.width), std::max(0, extent.height)};
}

TextBoxAndBar splitBottomBar(const TwipRect &area, int barHeight)
{
    const int bar = std::clamp(barHeight, 0, area.height);
    return TextBoxAndBar{TwipRect{area.left, area.top, area.width, area.height - bar},
                         TwipRect{area.left, area.top + area.height - bar, area.width, bar}};
}

}   // namespace editorLayout
