#include "player/sound_chain.h"

#include "player/audio_filters.h"
#include "player/mpv_handle.h"

namespace tavrin {

void SoundChain::use(MpvHandle& mpv, double rate, const ListeningAids& aids)
{
    if (rate == rate_ && aidFiltersInPlace_ && switchable(mpv)) {
        for (const FilterSetting& setting : soundAidSwitches(aids_, aids)) {
            // libmpv passes the command to every filter of the labelled entry's
            // graph and answers with the verdict of the last, libavfilter's
            // source, which knows no such option: the answer is always a failure.
            mpv.commandIgnoringFailure(
                {"af-command", setting.label.constData(), setting.option.constData(), setting.value.constData()});
        }
        aids_ = aids;
        return;
    }
    name(mpv, rate, aids);
}

void SoundChain::beforeRestart(MpvHandle& mpv)
{
    name(mpv, rate_, aids_);
    switchable_ = false;
    namedAt_.reset();
}

void SoundChain::restarted(MpvHandle& mpv)
{
    // After libmpv's own seek the filters are back at the chain's settings.
    if (audioFilterChain(rate_, aids_) != chain_)
        name(mpv, rate_, aids_);
    else
        switchable_ = true;
}

// Once the position has moved on, libmpv has played from the filters named,
// which had sound to filter then.
bool SoundChain::switchable(MpvHandle& mpv)
{
    if (!switchable_ && namedAt_) {
        const std::optional<double> position = mpv.getDouble("time-pos");
        switchable_ = position && *position != *namedAt_;
    }
    return switchable_;
}

void SoundChain::name(MpvHandle& mpv, double rate, const ListeningAids& aids)
{
    const QByteArray chain = audioFilterChain(rate, aids);
    if (chain != chain_) {
        mpv.setOption("af", chain.constData());
        chain_ = chain;
        aidFiltersInPlace_ = aids.any();
        switchable_ = false;
        namedAt_ = mpv.getDouble("time-pos");
    }
    aids_ = aids;
    rate_ = rate;
}

} // namespace tavrin
