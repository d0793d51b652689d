#pragma once

#include <QString>

namespace tavrin {

// Placeholder until the time text module lands.
QString playerTimeText(double seconds);
QString displayTimeText(const QString& playerText);

} // namespace tavrin
