#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

namespace tavrin {

// When each timed character of a transcript is heard: stretches of the text
// whose characters share a start in the recording (a drafted word each), in
// text order and apart. Typed text has no time of its own. Held beside the text
// and told of every change to it, so that the characters an edit leaves alone
// keep their times exactly, wherever the edit moves them.
class TextTimes {
public:
    struct Stretch {
        qint32 at = 0;     // where its first character is in the text
        qint32 length = 0; // how many characters
        double seconds = 0;
        bool operator==(const Stretch&) const = default;
    };

    // Times for characters that had none: `stretches` in text order, each on
    // characters without a time (any that overlaps a timed one is left out).
    void add(const std::vector<Stretch>& stretches);
    // The text changed at `position`: `removed` characters went and `added` came
    // in their place. The characters left alone keep their times; those added have none.
    void change(qint32 position, qint32 removed, qint32 added);
    void clear() { stretches_.clear(); }

    // The time of the character at `position`; none for a character without one.
    std::optional<double> timeAt(qint32 position) const;
    // The stretch to play the character at `position` from: its own, or, for one
    // without a time, the nearest timed one before it; none when nothing before has one.
    std::optional<Stretch> stretchToPlay(qint32 position) const;
    // The stretch the character at `position` is in, if it has a time.
    std::optional<Stretch> stretchAt(qint32 position) const;

    // The word heard at `seconds` among those from `from` to `to` in the text (a
    // passage): the latest whose time has come, none before the first; and the
    // times between which that stays so (infinite when no word comes before or after).
    struct Heard {
        std::optional<Stretch> word;
        double from = 0;
        double until = 0;
    };
    Heard heardAt(double seconds, qint32 from, qint32 to) const;

    const std::vector<Stretch>& stretches() const { return stretches_; }
    bool isEmpty() const { return stretches_.empty(); }

private:
    // The first stretch that ends after `position`.
    std::vector<Stretch>::iterator firstEndingAfter(qint32 position);
    std::vector<Stretch>::const_iterator firstEndingAfter(qint32 position) const;

    std::vector<Stretch> stretches_;
};

// Where to start hearing the character at `position` of a passage whose text
// starts at `passageStart` and whose mark stands at `passageSeconds`: `lead`
// seconds before its word's time, or before the nearest timed word before it in
// the passage; untimed text with none before it in its passage plays from the
// mark, as the passage keys do. Never before the recording's start.
double hearingStart(const TextTimes& times, qint32 position, qint32 passageStart, double passageSeconds, double lead);

} // namespace tavrin
