#pragma once

#include <QByteArray>

namespace tavrin {

// Aids for hard recordings, each on or off; all off, the sound is untouched.
struct ListeningAids {
    bool volumeBoost = false;       // 300 %, limited so that it never clips
    bool loudnessLevelling = false; // quiet and loud speakers brought to one loudness
    bool noiseReduction = false;    // steady background noise lowered
    bool voiceBand = false;         // only the voice's frequencies, about 100 Hz to 4 kHz

    bool operator==(const ListeningAids&) const = default;
};

// libmpv's audio filter chain (its "af" option) for playing at a rate through
// the aids that are on: every filter the sound passes through is chosen here.
//
// Away from 1.0 the voice keeps its pitch through scaletempo2, the time
// stretcher libmpv itself picks for speech. Left to libmpv, it is inserted with
// its default lowest speed of 0.25 and gives pure silence below it, so at 0.1
// and 0.2, the rates for the hardest passages, nothing was heard. Named here,
// it takes the player's whole range; a filter of the chain that takes the
// speed keeps libmpv from inserting its own. At 1.0 with no aid the chain is
// empty, as libmpv has it: the sound is untouched and the last milliseconds of
// a recording, which the stretcher holds back, are heard.
QByteArray audioFilterChain(double rate, const ListeningAids& aids = {});

} // namespace tavrin
