#pragma once

#include <optional>

namespace tavrin {

// Where the sound of a passage whose mark stands at `seconds` ends: at the next
// later time any mark of the transcript stands at, wherever that mark is in the
// text; none when no mark is later, and the passage runs to the recording's end.
// The one rule for the passage keys, the loop, the passage heard and the exports.
// `times` is ordered by time: the marks' times (a set) or keyed by them (a map).
template <typename Times> std::optional<int> passageEndSeconds(const Times& times, int seconds)
{
    const auto later = times.upper_bound(seconds);
    if (later == times.end())
        return std::nullopt;
    if constexpr (requires { later->first; })
        return later->first;
    else
        return *later;
}

} // namespace tavrin
