#include "playback/audio_filters.h"

#include <QByteArrayList>

namespace tavrin {

namespace {

// Well beyond the rates 0.1 to 2.0 on either side: scaletempo2 is silent outside its range.
constexpr char kTimeStretch[] = "scaletempo2=min-speed=0.05:max-speed=4";
// FFmpeg's filters, in the order the sound meets them: the noise is taken out
// before anything raises it, and the limiter comes last, so nothing after it
// can push a sample to full scale (0.89 is 1 dB below).
constexpr char kNoiseReduction[] = "lavfi=[afftdn=nr=20:nf=-45:tn=1]";
constexpr char kVoiceBand[] = "lavfi=[highpass=f=100,lowpass=f=4000]";
constexpr char kLoudnessLevelling[] = "lavfi=[dynaudnorm=f=200:g=15:p=0.7:m=40]";
constexpr char kVolumeBoost[] = "lavfi=[volume=3.0,alimiter=limit=0.89:level=disabled]";

} // namespace

QByteArray audioFilterChain(double rate, const ListeningAids& aids)
{
    QByteArrayList chain;
    if (rate != 1.0)
        chain << kTimeStretch;
    if (aids.noiseReduction)
        chain << kNoiseReduction;
    if (aids.voiceBand)
        chain << kVoiceBand;
    if (aids.loudnessLevelling)
        chain << kLoudnessLevelling;
    if (aids.volumeBoost)
        chain << kVolumeBoost;
    return chain.join(',');
}

} // namespace tavrin
