// The seek bar's waveform of a long recording: the time until the envelope is
// whole, until the first picture covers the whole width, the resident memory it
// adds while computing and once done, reopening it from the cache, and how soon
// a cancel stops it. The reference, ffmpeg decoding the same file on one thread
// into nothing, is timed by run_bench.py.
#include "measure.h"

#include "media/ffmpeg_library.h"
#include "support/resident_memory.h"
#include "waveform/waveform_builder.h"

#include <QTemporaryDir>
#include <QTest>

namespace tavrin::bench {

namespace {

constexpr int kWaitMs = 600000;
constexpr int kPictureWidth = 1000;

bool coversTheWidth(const Envelope& envelope)
{
    for (const EnvelopeColumn& column : envelope.columnsFor(kPictureWidth, envelope.durationSeconds())) {
        if (column.source == ColumnSource::Unknown)
            return false;
    }
    return true;
}

struct Build {
    double firstPictureMs = NAN;
    double readyMs = NAN;
    double largestAddedMiB = 0;
    double addedAfterMiB = 0;
};

// One build with an empty cache; memory is sampled every 10 ms meanwhile.
Build buildOnce(const QString& recording, const QString& cacheFolder)
{
    Build build;
    const double before = test::residentMiB();
    WaveformBuilder builder(cacheFolder);
    bool done = false;
    const Clock::time_point start = Clock::now();
    QObject::connect(&builder, &WaveformBuilder::progress, [&](const Envelope& envelope) {
        if (std::isnan(build.firstPictureMs) && coversTheWidth(envelope))
            build.firstPictureMs = millisecondsBetween(start, Clock::now());
    });
    QObject::connect(&builder, &WaveformBuilder::finished, [&] {
        build.readyMs = millisecondsBetween(start, Clock::now());
        done = true;
    });
    QObject::connect(&builder, &WaveformBuilder::failed, [&] { qFatal("the recording did not decode"); });
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout,
                     [&] { build.largestAddedMiB = std::max(build.largestAddedMiB, test::residentMiB() - before); });
    sampler.start(10);
    builder.start(recording);
    if (!QTest::qWaitFor([&] { return done; }, kWaitMs))
        qFatal("the envelope was not ready in time");
    if (std::isnan(build.firstPictureMs))
        build.firstPictureMs = build.readyMs;
    settle(300); // the cache file is written after the envelope is told
    build.addedAfterMiB = test::residentMiB() - before;
    return build;
}

double reopenFromCache(const QString& recording, const QString& cacheFolder)
{
    WaveformBuilder builder(cacheFolder);
    bool fromProgress = false;
    QObject::connect(&builder, &WaveformBuilder::progress, [&] { fromProgress = true; });
    const double ms = millisecondsUntil(&builder, &WaveformBuilder::finished, [&] { builder.start(recording); });
    if (fromProgress)
        qFatal("the envelope was decoded again instead of read from the cache");
    return ms;
}

// Destroying the builder half a second into a decode: the time the destructor takes.
double cancelling(const QString& recording, const QString& cacheFolder)
{
    auto builder = std::make_unique<WaveformBuilder>(cacheFolder);
    builder->start(recording);
    settle(500);
    return millisecondsOf([&] { builder.reset(); });
}

} // namespace

int runWaveformCost(const QString& recording, int repetitions)
{
    // In the program the player's libmpv has loaded FFmpeg's libraries long
    // before a waveform is computed; their pages are not the waveform's.
    if (!loadFFmpeg())
        qFatal("cannot load FFmpeg's libraries");
    std::vector<double> ready, firstPicture, reopen, cancel;
    double largestAdded = 0, addedAfter = 0;
    for (int i = 0; i < repetitions; ++i) {
        QTemporaryDir cache;
        const Build build = buildOnce(recording, cache.path());
        ready.push_back(build.readyMs);
        firstPicture.push_back(build.firstPictureMs);
        if (i == 0) { // the first build's memory, before anything was loaded for an earlier one
            largestAdded = build.largestAddedMiB;
            addedAfter = build.addedAfterMiB;
        }
        reopen.push_back(reopenFromCache(recording, cache.path()));
        QTemporaryDir empty;
        cancel.push_back(cancelling(recording, empty.path()));
    }
    report("ready median", median(ready));
    report("first full-width picture median", median(firstPicture));
    report("largest resident added while computing", largestAdded, "MiB");
    report("resident added once done", addedAfter, "MiB");
    report("reopen from the cache median", median(reopen));
    report("destruction mid-decode median", median(cancel));
    return 0;
}

} // namespace tavrin::bench
