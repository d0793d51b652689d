#pragma once

#include <QString>

namespace tavrin {

// The text of the default error box: the error's own text with a full stop
// added when its last character sorts after "." (so "...", "!" and ")" get none).
QString errorBoxText(const QString& message);

} // namespace tavrin
