#pragma once

#include "bench_window.h"

#include "waveform/waveform_builder.h"

#include <QDir>

namespace tavrin::bench {

// Keeps the window's own waveform computing the whole time: started afresh,
// from an empty cache, each time it is done.
class BusyWaveform {
public:
    BusyWaveform(BenchWindow& window, const QString& recording)
        : builder_(test::WindowProbe::waveforms(*window.window))
        , cacheFolder_(window.programFolder.filePath(QStringLiteral("waveforms")))
    {
        restart_ = QObject::connect(&builder_, &WaveformBuilder::finished, &builder_,
                                    [this, recording] { startAfresh(recording); });
        startAfresh(recording);
    }

    ~BusyWaveform()
    {
        QObject::disconnect(restart_);
        builder_.cancel();
    }

private:
    void startAfresh(const QString& recording)
    {
        builder_.cancel(); // its thread is done storing the envelope before it goes
        QDir(cacheFolder_).removeRecursively();
        builder_.start(recording);
    }

    WaveformBuilder& builder_;
    QString cacheFolder_;
    QMetaObject::Connection restart_;
};

} // namespace tavrin::bench
