#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace tavrin {

// Gives a widget its own colour for one role (text colours, mostly). A palette
// rather than a style sheet: style sheets make every widget's polish slower.
inline void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace tavrin
