#pragma once

#include <QFont>
#include <QStringList>

namespace tavrin {

// The interface font ("MS Sans Serif", 8 points) and the editor's font ("宋体",
// 29 pixels high), each with the nearest faces a Linux desktop has.
QFont interfaceFont(int pixelSize = 11, bool bold = false);
QFont editorFont();

} // namespace tavrin
