#include "app/app_style.h"

#include <QApplication>
#include <QProxyStyle>

namespace tavrin {

namespace {

class AppStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        switch (hint) {
        case SH_ToolTip_WakeUpDelay:
            return kHintDelayMs;
        case SH_MenuBar_AltKeyNavigation:
            return 0;
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }
};

} // namespace

void installAppStyle(QApplication& application)
{
    application.setStyle(new AppStyle);
    application.setStyleSheet(application.styleSheet()
                              + QStringLiteral("QToolTip { color: black; background-color: #ffffe1;"
                                               " border: 1px solid black; border-radius: 6px; padding: 3px; }"));
}

} // namespace tavrin
