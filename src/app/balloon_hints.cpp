#include "app/balloon_hints.h"

#include <QApplication>
#include <QProxyStyle>

namespace tavrin {

namespace {

class BalloonHintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return kHintDelayMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void installBalloonHints(QApplication& application)
{
    application.setStyle(new BalloonHintStyle);
    application.setStyleSheet(application.styleSheet()
                              + QStringLiteral("QToolTip { color: black; background-color: #ffffe1;"
                                               " border: 1px solid black; border-radius: 6px; padding: 3px; }"));
}

} // namespace tavrin
