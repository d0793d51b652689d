#include "transcript/time_text.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

enum class DayHalf {
    None,
    Morning,
    Afternoon
};

// Reads a go-to-time text from left to right; blanks may stand between any two parts.
class TimeTextReader {
public:
    explicit TimeTextReader(QStringView text)
        : text_(text)
    {
    }

    bool atEnd()
    {
        skipBlanks();
        return pos_ == text_.size();
    }

    bool take(char16_t separator)
    {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == separator) {
            ++pos_;
            return true;
        }
        return false;
    }

    DayHalf takeDayHalf()
    {
        skipBlanks();
        const QStringView rest = text_.sliced(pos_);
        const auto takeMarker = [&](QStringView marker) {
            if (!rest.startsWith(marker, Qt::CaseInsensitive))
                return false;
            pos_ += marker.size();
            return true;
        };
        if (takeMarker(u"AM") || takeMarker(u"上午"))
            return DayHalf::Morning;
        if (takeMarker(u"PM") || takeMarker(u"下午"))
            return DayHalf::Afternoon;
        return DayHalf::None;
    }

    // A run of ASCII digits; values past kTooLarge are kept at kTooLarge, which no
    // part of a time accepts, so endless runs cannot overflow.
    std::optional<int> takeNumber()
    {
        skipBlanks();
        const qsizetype start = pos_;
        int value = 0;
        while (pos_ < text_.size() && text_[pos_] >= u'0' && text_[pos_] <= u'9') {
            value = std::min(value * 10 + (text_[pos_].unicode() - u'0'), kTooLarge);
            ++pos_;
        }
        if (pos_ == start)
            return std::nullopt;
        return value;
    }

private:
    static constexpr int kTooLarge = 1000000;

    void skipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_] == u' ')
            ++pos_;
    }

    QStringView text_;
    qsizetype pos_ = 0;
};

struct TimeParts {
    DayHalf dayHalf = DayHalf::None;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int milliseconds = 0;
};

std::optional<TimeParts> readParts(QStringView text)
{
    TimeTextReader reader(text);
    TimeParts parts;
    parts.dayHalf = reader.takeDayHalf();
    const std::optional<int> hours = reader.takeNumber();
    if (!hours)
        return std::nullopt;
    parts.hours = *hours;
    if (reader.take(u':')) {
        const std::optional<int> minutes = reader.takeNumber();
        if (!minutes)
            return std::nullopt;
        parts.minutes = *minutes;
        if (reader.take(u':')) {
            const std::optional<int> seconds = reader.takeNumber();
            if (!seconds)
                return std::nullopt;
            parts.seconds = *seconds;
            if (reader.take(u'.')) {
                const std::optional<int> milliseconds = reader.takeNumber();
                if (!milliseconds)
                    return std::nullopt;
                parts.milliseconds = *milliseconds;
            }
        }
    }
    if (parts.dayHalf == DayHalf::None)
        parts.dayHalf = reader.takeDayHalf();
    if (!reader.atEnd())
        return std::nullopt;
    return parts;
}

QString twoDigits(qint64 value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

std::optional<qint32> parseTimeText(QStringView text)
{
    const std::optional<TimeParts> parts = readParts(text);
    if (!parts)
        return std::nullopt;
    int hours = parts->hours;
    if (parts->dayHalf != DayHalf::None) {
        if (hours < 1 || hours > 12)
            return std::nullopt;
        hours %= 12;
        if (parts->dayHalf == DayHalf::Afternoon)
            hours += 12;
    }
    if (hours > 23 || parts->minutes > 59 || parts->seconds > 59 || parts->milliseconds > 999)
        return std::nullopt;
    // Playback is moved by whole seconds only; a fraction means a mistyped time.
    if (parts->milliseconds != 0)
        return std::nullopt;
    return hours * 3600 + parts->minutes * 60 + parts->seconds;
}

QString playerTimeText(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        return u"00:00"_s;
    // Far beyond any recording, but keeps the conversion to an integer defined.
    constexpr double kLongest = 1e15;
    const auto whole = static_cast<qint64>(std::floor(std::min(seconds, kLongest)));
    const qint64 hours = whole / 3600;
    const QString minutesAndSeconds = twoDigits(whole / 60 % 60) + u':' + twoDigits(whole % 60);
    if (hours == 0)
        return minutesAndSeconds;
    return twoDigits(hours) + u':' + minutesAndSeconds;
}

QString displayTimeText(const QString& playerText)
{
    if (playerText.size() == 5)
        return u"00:"_s + playerText;
    return playerText;
}

} // namespace tavrin
