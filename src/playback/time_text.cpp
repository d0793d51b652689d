#include "playback/time_text.h"

#include <cmath>

namespace tavrin {

QString playerTimeText(double seconds)
{
    const qint64 whole = std::isfinite(seconds) && seconds > 0 ? qint64(std::floor(seconds)) : 0;
    const auto two = [](qint64 n) { return QString::number(n).rightJustified(2, u'0'); };
    if (whole < 3600)
        return two(whole / 60) + u':' + two(whole % 60);
    return two(whole / 3600) + u':' + two(whole / 60 % 60) + u':' + two(whole % 60);
}

QString displayTimeText(const QString& playerText)
{
    return playerText.size() == 5 ? QStringLiteral("00:") + playerText : playerText;
}

} // namespace tavrin
