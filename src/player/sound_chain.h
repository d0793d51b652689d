#pragma once

#include "player/listening_aids.h"

#include <QByteArray>

#include <optional>

namespace tavrin {

class MpvHandle;

// The audio filter chain in libmpv for the player's rate and sound aids.
//
// A new chain makes libmpv rebuild the filters whose entries changed, and the
// sound they hold is lost: turning an aid on or off that way jumped by 25 to
// 130 ms of the recording, with gaps of up to 70 ms, on a sound server. So
// once the aids' filters are in place (audioFilterChain() puts all of them in
// as soon as one aid is on), an aid is switched inside them with af-command,
// which changes nothing else. The filters forget such switches whenever libmpv
// resets them, at every seek, and are rebuilt from the chain as named; so the
// chain named is brought in line with the aids at the moments when the sound
// starts afresh anyway: before a seek or an opening of this player's, and
// after a seek libmpv made by itself (the A-B loop's jump back).
class SoundChain {
public:
    double rate() const { return rate_; }
    const ListeningAids& aids() const { return aids_; }

    // Plays at `rate` with `aids` from now on. Throws PlayerError when libmpv
    // refuses the chain (a filter this FFmpeg lacks); nothing changes then.
    void use(MpvHandle& mpv, double rate, const ListeningAids& aids);
    // Before libmpv has started: `aids` are named with the first opening's chain.
    void keepForFirstOpening(const ListeningAids& aids) { aids_ = aids; }
    // A seek or an opening follows: the filters are reset and rebuilt from the chain named.
    void beforeRestart(MpvHandle& mpv);
    // Sound flows again after a seek, this player's or libmpv's own.
    void restarted(MpvHandle& mpv);

private:
    void name(MpvHandle& mpv, double rate, const ListeningAids& aids);
    bool switchable(MpvHandle& mpv);

    QByteArray chain_; // as named in libmpv; empty at start, as libmpv has it
    bool aidFiltersInPlace_ = false;
    ListeningAids aids_;
    double rate_ = 1.0;
    // af-command reaches only filters that have had sound since they were
    // built (and fails, whether it reached them or not, with this libmpv).
    bool switchable_ = false;
    std::optional<double> namedAt_; // the position when the chain was named, if one was open
};

} // namespace tavrin
