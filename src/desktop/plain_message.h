#pragma once

#include <QString>

#include <functional>

namespace tavrin {

// Shows a one-button message as the owning window shows its own: its caption,
// over it. Controllers get one of these instead of the window itself, so they
// can tell the user something without knowing which window they serve.
using ShowPlainMessage = std::function<void(const QString& text)>;

} // namespace tavrin
