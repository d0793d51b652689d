#include "transcript/time_marks.h"

#include "transcript/time_text.h"

#include <cmath>
#include <optional>

namespace tavrin {

namespace {

std::optional<int> twoDigits(QStringView text, qsizetype at)
{
    const char16_t tens = text[at].unicode();
    const char16_t ones = text[at + 1].unicode();
    if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9')
        return std::nullopt;
    return (tens - u'0') * 10 + (ones - u'0');
}

// The mark's seconds when a mark starts at `at`, which holds a hyphen.
std::optional<int> markAt(QStringView text, qsizetype at)
{
    if (text.size() - at < kTimeMarkLength || text[at + 3] != u':' || text[at + 6] != u':'
        || text[at + kTimeMarkLength - 1] != u'-')
        return std::nullopt;
    const auto hours = twoDigits(text, at + 1);
    const auto minutes = twoDigits(text, at + 4);
    const auto seconds = twoDigits(text, at + 7);
    if (!hours || !minutes || !seconds || *minutes >= 60 || *seconds >= 60)
        return std::nullopt;
    return *hours * 3600 + *minutes * 60 + *seconds;
}

} // namespace

QString timeMarkText(QStringView shownTime)
{
    return u'-' + shownTime.toString() + u'-';
}

QString timeMarkAt(double seconds)
{
    return timeMarkText(displayTimeText(playerTimeText(std::floor(seconds))));
}

std::vector<TimeMark> findTimeMarks(QStringView text)
{
    std::vector<TimeMark> marks;
    qsizetype at = text.indexOf(u'-');
    while (at >= 0) {
        if (const auto seconds = markAt(text, at)) {
            marks.push_back({at, *seconds});
            at += kTimeMarkLength - 1; // its closing hyphen may open the next
        } else {
            ++at;
        }
        at = text.indexOf(u'-', at);
    }
    return marks;
}

} // namespace tavrin
