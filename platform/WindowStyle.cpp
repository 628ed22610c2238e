#include "platform/WindowStyle.h"

#include <QApplication>
#include <QHash>
#include <QIcon>
#include <QProxyStyle>

namespace {
class WindowStyle : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override
    {
        if (option || !isTitleBarIcon(icon))
            return QProxyStyle::standardIcon(icon, option, widget);
        auto made = mTitleBarIcons.constFind(icon);
        if (made == mTitleBarIcons.constEnd())
            made = mTitleBarIcons.insert(icon, QProxyStyle::standardIcon(icon, nullptr, widget));
        return *made;
    }

private:
    static bool isTitleBarIcon(StandardPixmap icon)
    {
        switch (icon) {
        case SP_TitleBarMenuButton:
        case SP_TitleBarMinButton:
        case SP_TitleBarMaxButton:
        case SP_TitleBarCloseButton:
        case SP_TitleBarNormalButton:
        case SP_TitleBarShadeButton:
        case SP_TitleBarUnshadeButton:
        case SP_TitleBarContextHelpButton: return true;
        default: return false;
        }
    }

    mutable QHash<StandardPixmap, QIcon> mTitleBarIcons;
};
}   // namespace

void installWindowStyle()
{
    QApplication::setStyle(new WindowStyle);
}
