#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tavrin {

// Seconds from the start for a go-to-time text such as "01:23:54" (5034). Also takes
// looser forms: "1:2:3", "01:23" (minutes), "5" (hours), spaces between the parts and
// at either end, ".000" milliseconds, and an "AM"/"PM"/"上午"/"下午" marker before or
// after the numbers (then the hour is 1 to 12). nullopt for anything else, for
// values out of range and for a time with a fraction of a second.
std::optional<qint32> parseTimeText(QStringView text);

// The player's own text for a position or a length: whole seconds, MM:SS below one
// hour and HH:MM:SS from then on. Negative, NaN and infinite values give "00:00".
QString playerTimeText(double seconds);

// The position display's text for a player text: MM:SS gets "00:" in front, any
// other text (HH:MM:SS, empty) stands as it is.
QString displayTimeText(const QString& playerText);

} // namespace tavrin
