#pragma once

#include <QByteArray>

namespace tavrin {

// libmpv's audio filter chain (its "af" option) for playing at a rate: every
// filter the sound passes through is chosen here.
//
// Away from 1.0 the voice keeps its pitch through scaletempo2, the time
// stretcher libmpv itself picks for speech. Left to libmpv, it is inserted with
// its default lowest speed of 0.25 and gives pure silence below it, so at 0.1
// and 0.2, the rates for the hardest passages, nothing was heard. Named here,
// it takes the player's whole range; a filter of the chain that takes the
// speed keeps libmpv from inserting its own. At 1.0 the chain is empty, as
// libmpv has it: the sound is untouched and the last milliseconds of a
// recording, which the stretcher holds back, are heard.
QByteArray audioFilterChain(double rate);

} // namespace tavrin
