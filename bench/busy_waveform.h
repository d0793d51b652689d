#pragma once

#include "playback/waveform/waveform_builder.h"

#include <QDir>
#include <QTemporaryDir>

namespace tavrin::bench {

// Keeps a waveform computing the whole time: started afresh, from an empty
// cache, each time it is done.
class BusyWaveform {
public:
    explicit BusyWaveform(const QString& recording)
        : builder_(cache_.path())
    {
        QObject::connect(&builder_, &WaveformBuilder::finished, &builder_, [this, recording] {
            QDir(cache_.path()).removeRecursively();
            QDir().mkpath(cache_.path());
            builder_.start(recording);
        });
        builder_.start(recording);
    }

private:
    QTemporaryDir cache_;
    WaveformBuilder builder_;
};

} // namespace tavrin::bench
