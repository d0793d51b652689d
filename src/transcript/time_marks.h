#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace tavrin {

// A time mark as the mark key writes it: "-HH:MM:SS-", two digits each, the
// minutes and seconds below 60.
struct TimeMark {
    qsizetype offset = 0; // of the opening hyphen
    int seconds = 0;
    bool operator==(const TimeMark&) const = default;
};

inline constexpr qsizetype kTimeMarkLength = 10; // "-00:12:34-"

// The mark the mark key writes where the position display shows `shownTime`
// ("00:12:34" gives "-00:12:34-"). Every mark the program writes comes from here.
QString timeMarkText(QStringView shownTime);

// The mark for a time in the recording, as the display shows that time: whole
// seconds, "-HH:MM:SS-".
QString timeMarkAt(double seconds);

// Every mark in `text`, in order. Marks may share a hyphen ("-00:00:01-00:00:02-").
std::vector<TimeMark> findTimeMarks(QStringView text);

} // namespace tavrin
