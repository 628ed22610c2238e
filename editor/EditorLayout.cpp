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

TextArea splitTextArea(TwipRect box, int statusHeight)
{
    const int status = std::clamp(statusHeight, 0, box.height);
    const int textHeight = box.height - status;
    return TextArea{TwipRect{box.left, box.top, box.width, textHeight},
                    TwipRect{box.left, box.top + textHeight, box.width, status}};
}

QRect firstPlacement(const QRect &visible, int toolsRight, QSize wanted, int index, int step)
{
    const QSize size = wanted.boundedTo(visible.size());
    const int rightmostLeft = visible.x() + visible.width() - size.width();
    const int startX = std::clamp(toolsRight, visible.x(), rightmostLeft);
    const int startY = visible.y();
    const int room = std::min(rightmostLeft - startX, visible.y() + visible.height() - size.height() - startY);
    const int steps = step > 0 ? room / step + 1 : 1;
    const int k = index % steps;
    return QRect(QPoint(startX + k * step, startY + k * step), size);
}

}   // namespace editorLayout
