#include "editor/EditorLayout.h"

#include <algorithm>

namespace editorLayout {

Extent followOuterSize(Extent extent, int prevWidth, int prevHeight, int width, int height)
{
    extent.width = width - prevWidth + extent.width;
    extent.height = height - prevHeight + extent.height;
    return extent;
}

TwipRect textBoxRect(Extent extent)
{
    return TwipRect{txtEdit.left, txtEdit.top, std::max(0, extent.width), std::max(0, extent.height)};
}

} // namespace editorLayout
