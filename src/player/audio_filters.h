#pragma once

#include "player/listening_aids.h"

#include <QByteArray>

#include <vector>

namespace tavrin {

// libmpv's audio filter chain (its "af" option) for playing at a rate with
// sound aids: every filter the sound passes through is chosen here.
//
// Away from 1.0 the voice keeps its pitch through scaletempo2, the time
// stretcher libmpv itself picks for speech. Left to libmpv, it is inserted with
// its default lowest speed of 0.25 and gives pure silence below it, so at 0.1
// and 0.2, the rates for the hardest passages, nothing was heard. Named here,
// it takes the player's whole range; a filter of the chain that takes the
// speed keeps libmpv from inserting its own. At 1.0 with no aid the chain is
// empty, as libmpv has it: the sound is untouched and the last milliseconds of
// a recording, which the stretcher holds back, are heard.
//
// With any aid on, the filters of all four are in the chain, those of the aids
// that are off set to pass the sound unchanged, so that an aid is turned on or
// off inside the filters in place (soundAidSwitches()) while playing: a new
// chain drops the sound its filters hold and starts them afresh, a jump of up
// to a tenth of a second. In the order of the sound: noise reduction first,
// on the sound as recorded; the voice band; levelling, on the voice without
// rumble and hiss; the stretcher; last the boost with its limiter, which holds
// every sample below full scale, whatever the filters before it did.
QByteArray audioFilterChain(double rate, const ListeningAids& aids = {});

// One setting of a filter in the chain, changed while playing with libmpv's
// af-command: the filter's label in the chain, the option and its new value.
struct FilterSetting {
    QByteArray label;
    QByteArray option;
    QByteArray value;
    bool operator==(const FilterSetting&) const = default;
};

// The settings that turn the aids' filters of a chain from `from` to `to`.
std::vector<FilterSetting> soundAidSwitches(const ListeningAids& from, const ListeningAids& to);

} // namespace tavrin
