#include "playback/audio_filters.h"

namespace tavrin {

namespace {

// Well beyond the rates 0.1 to 2.0 on either side: scaletempo2 is silent outside its range.
constexpr char kTimeStretch[] = "scaletempo2=min-speed=0.05:max-speed=4";

} // namespace

QByteArray audioFilterChain(double rate)
{
    if (rate == 1.0)
        return {};
    return QByteArray(kTimeStretch);
}

} // namespace tavrin
