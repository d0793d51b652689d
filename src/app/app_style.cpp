#include "app/app_style.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QToolTip>

namespace tavrin {

namespace {

class AppStyle : public QProxyStyle {
public:
    // Hints are framed in black, as balloons are.
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element == PE_PanelTipLabel) {
            painter->save();
            painter->setPen(Qt::black);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

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
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);
}

} // namespace tavrin
