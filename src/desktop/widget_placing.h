#pragma once

#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

namespace tavrin {

// Names a widget and puts it at a fixed place of its parent: the window and
// the dialog are laid out to the pixel, as users know them.
template <typename Widget> Widget* place(Widget* widget, const QString& name, const QRect& geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

inline QLabel* label(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    return place(new QLabel(caption, parent), name, geometry);
}

} // namespace tavrin
