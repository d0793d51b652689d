#include "app/app_style.h"

#include "desktop/fonts.h"

#include <QApplication>
#include <QGroupBox>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QToolTip>
#include <qdrawutil.h>

namespace tavrin {

namespace {

// One of the style's own icons, asked of the style only when first drawn. The
// menu bar asks for its overflow arrow when it is built; reading that picture
// loads every image format plugin Qt has (and libjpeg), before the window's
// first sight, for an arrow that the fixed-width window never shows.
class StyleIconWhenDrawn : public QIconEngine {
public:
    StyleIconWhenDrawn(const QStyle* style, QStyle::StandardPixmap which)
        : style_(style)
        , which_(which)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QIconEngine* clone() const override { return new StyleIconWhenDrawn(style_, which_); }

private:
    const QIcon& icon()
    {
        if (!asked_ && style_) {
            icon_ = style_->standardIcon(which_);
            asked_ = true;
        }
        return icon_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap which_;
    QIcon icon_;
    bool asked_ = false;
};

// Reads one of Qt's own PNG pictures with the PNG reader Qt has built in.
// Asked for a file by its name alone, Qt's image reader first loads every
// image format plugin (and libjpeg) to ask whether one of them reads PNG.
QPixmap builtInPng(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

class AppStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_FrameGroupBox && drawGroupBoxFrame(option, painter, widget))
            return;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        // Hints are framed in black, as balloons are.
        if (element == PE_PanelTipLabel) {
            painter->save();
            painter->setPen(Qt::black);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        if ((which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton) && !option)
            return QIcon(new StyleIconWhenDrawn(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
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

private:
    // Fusion's group box frame, drawn as Fusion draws it (the picture Fusion
    // frames it with, at the place Fusion puts it) but with the picture read as
    // PNG at once: the window's group boxes would otherwise load every image
    // format plugin at its first sight. Elsewhere Fusion draws it itself.
    bool drawGroupBoxFrame(const QStyleOption* option, QPainter* painter, const QWidget* widget) const
    {
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        if (baseStyle()->name() != QStringLiteral("fusion"))
            return false;
        if (groupBoxFrame_.isNull())
            groupBoxFrame_ =
                builtInPng(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
        if (groupBoxFrame_.isNull())
            return false;
        constexpr int kFusionGroupBoxTopMargin = 3;
        int topMargin = kFusionGroupBoxTopMargin;
        const auto* box = qobject_cast<const QGroupBox*>(widget);
        if (!box || box->isCheckable() || !box->title().isEmpty())
            topMargin += qMax(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
        qDrawBorderPixmap(painter, option->rect.adjusted(0, topMargin, 0, 0), QMargins(6, 6, 6, 6), groupBoxFrame_);
        return true;
#else
        Q_UNUSED(option);
        Q_UNUSED(painter);
        Q_UNUSED(widget);
        return false;
#endif
    }

    mutable QPixmap groupBoxFrame_;
};

} // namespace

void installAppStyle(QApplication& application)
{
    application.setStyle(new AppStyle);
    // Message boxes and Qt's own dialogs speak in the interface font too. It is
    // also the font a text area is first laid out in, before it gets its own:
    // set here, no other face is loaded for that before the window's first sight.
    QApplication::setFont(interfaceFont());
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);
}

} // namespace tavrin
