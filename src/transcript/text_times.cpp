#include "transcript/text_times.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace tavrin {

namespace {

qint32 endOf(const TextTimes::Stretch& stretch)
{
    return stretch.at + stretch.length;
}

} // namespace

std::vector<TextTimes::Stretch>::iterator TextTimes::firstEndingAfter(qint32 position)
{
    return std::upper_bound(stretches_.begin(), stretches_.end(), position,
                            [](qint32 at, const Stretch& stretch) { return at < endOf(stretch); });
}

std::vector<TextTimes::Stretch>::const_iterator TextTimes::firstEndingAfter(qint32 position) const
{
    return std::upper_bound(stretches_.begin(), stretches_.end(), position,
                            [](qint32 at, const Stretch& stretch) { return at < endOf(stretch); });
}

void TextTimes::add(const std::vector<Stretch>& stretches)
{
    for (const Stretch& stretch : stretches) {
        if (stretch.length <= 0 || stretch.at < 0)
            continue;
        const auto at = firstEndingAfter(stretch.at);
        if (at != stretches_.end() && at->at < endOf(stretch))
            continue; // on characters that have a time already
        stretches_.insert(at, stretch);
    }
}

void TextTimes::change(qint32 position, qint32 removed, qint32 added)
{
    const qint32 removedEnd = position + removed;
    const qint32 shift = added - removed;
    // The stretches the change falls on or inside of keep what lies before it and
    // what lies after it; a stretch that starts where text is only added moves whole.
    const auto first = firstEndingAfter(position);
    auto last = first;
    std::vector<Stretch> pieces;
    for (; last != stretches_.end() && last->at < removedEnd; ++last) {
        if (last->at < position)
            pieces.push_back({last->at, position - last->at, last->seconds});
        if (endOf(*last) > removedEnd)
            pieces.push_back({removedEnd + shift, endOf(*last) - removedEnd, last->seconds});
    }
    for (auto after = last; after != stretches_.end(); ++after)
        after->at += shift;
    const auto at = stretches_.erase(first, last);
    stretches_.insert(at, pieces.begin(), pieces.end());
}

std::optional<TextTimes::Stretch> TextTimes::stretchAt(qint32 position) const
{
    const auto found = firstEndingAfter(position);
    if (found == stretches_.end() || found->at > position)
        return std::nullopt;
    return *found;
}

std::optional<double> TextTimes::timeAt(qint32 position) const
{
    const std::optional<Stretch> stretch = stretchAt(position);
    return stretch ? std::optional<double>(stretch->seconds) : std::nullopt;
}

std::optional<TextTimes::Stretch> TextTimes::stretchToPlay(qint32 position) const
{
    auto found = firstEndingAfter(position);
    if (found != stretches_.end() && found->at <= position)
        return *found;
    if (found == stretches_.begin())
        return std::nullopt;
    return *std::prev(found);
}

TextTimes::Heard TextTimes::heardAt(double seconds, qint32 from, qint32 to) const
{
    constexpr double kForever = std::numeric_limits<double>::infinity();
    Heard heard{std::nullopt, -kForever, kForever};
    // A passage holds tens of words: each is looked at, whatever order edits left them in.
    for (auto word = firstEndingAfter(from); word != stretches_.end() && word->at < to; ++word) {
        if (word->seconds > seconds)
            heard.until = std::min(heard.until, word->seconds);
        else if (!heard.word || word->seconds >= heard.word->seconds)
            heard.word = *word;
    }
    if (heard.word)
        heard.from = heard.word->seconds;
    return heard;
}

double hearingStart(const TextTimes& times, qint32 position, qint32 passageStart, double passageSeconds, double lead)
{
    const std::optional<TextTimes::Stretch> word = times.stretchToPlay(position);
    if (!word || word->at + word->length <= passageStart)
        return passageSeconds; // the mark is where its passage is heard from
    return std::max(0.0, word->seconds - lead);
}

} // namespace tavrin
