#include "waveform/waveform_builder.h"

#include "waveform/envelope_cache.h"
#include "waveform/envelope_decoder.h"

#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <exception>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace tavrin {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

// The envelope waits for whatever the player and the window leave over: nice 19
// for the thread, and the idle class, which gives it a core only when nothing
// else wants it (any thread may take it; failing, nice 19 stays).
void giveWayToEverythingElse()
{
    setpriority(PRIO_PROCESS, id_t(gettid()), 19);
    sched_param parameters{};
    parameters.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameters);
}

} // namespace

struct WaveformBuilder::Job {
    std::atomic<bool> cancelled{false};
    std::thread thread;

    ~Job()
    {
        cancelled.store(true, std::memory_order_relaxed);
        if (thread.joinable())
            thread.join();
    }
};

WaveformBuilder::WaveformBuilder(QObject* parent)
    : WaveformBuilder(EnvelopeCache::defaultFolder(), parent)
{
}

WaveformBuilder::WaveformBuilder(const QString& cacheFolder, QObject* parent)
    : QObject(parent)
    , cache_(std::make_unique<EnvelopeCache>(cacheFolder))
{
}

WaveformBuilder::~WaveformBuilder()
{
    cancel();
}

void WaveformBuilder::start(const QString& path)
{
    cancel();
    path_ = path;
    const quint64 generation = generation_;
    job_ = std::make_unique<Job>();
    Job* job = job_.get();
    job->thread = std::thread([this, job, path, generation] { run(*job, path, generation); });
}

void WaveformBuilder::cancel()
{
    job_.reset();
    // What the cancelled thread posted before it saw the flag is dropped on arrival.
    ++generation_;
    envelope_ = {};
}

// On the job's thread. Whatever a recording or a cache file holds, it never ends
// the program: at worst the plain bar shows.
void WaveformBuilder::run(Job& job, const QString& path, quint64 generation)
{
    giveWayToEverythingElse();
    try {
        compute(job, path, generation);
    } catch (const std::exception&) {
        post(generation, Report::Failed, {});
    }
}

// Reads only the cache (whose methods are const) and posts.
void WaveformBuilder::compute(Job& job, const QString& path, quint64 generation)
{
    const std::optional<EnvelopeCacheKey> key = envelopeCacheKeyOf(path);
    if (key) {
        if (const std::optional<Envelope> cached = cache_->load(*key)) {
            post(generation, Report::Finished, *cached);
            return;
        }
    }
    Clock::time_point lastTold{};
    const auto progress = [&](const EnvelopeWriter& writer, DecodeStage stage) {
        // Probes alone say nothing of the stretches between them until all are in.
        if (stage == DecodeStage::Sampling)
            return;
        const Clock::time_point now = Clock::now();
        if (stage == DecodeStage::Sampled || now - lastTold >= kProgressInterval) {
            lastTold = now;
            post(generation, Report::Progress, writer.snapshot());
        }
    };
    Envelope envelope;
    switch (decodeEnvelope(path, job.cancelled, progress, &envelope)) {
    case DecodeOutcome::Complete:
        post(generation, Report::Finished, envelope);
        if (key && !job.cancelled.load(std::memory_order_relaxed))
            cache_->store(*key, envelope);
        break;
    case DecodeOutcome::Failed:
        post(generation, Report::Failed, {});
        break;
    case DecodeOutcome::Cancelled:
        break;
    }
}

// The thread is joined before this object goes, and events posted to an object
// go with it, so `this` is alive whenever the call runs.
void WaveformBuilder::post(quint64 generation, Report report, const Envelope& envelope)
{
    QMetaObject::invokeMethod(
        this, [this, generation, report, envelope] { receive(generation, report, envelope); }, Qt::QueuedConnection);
}

void WaveformBuilder::receive(quint64 generation, Report report, const Envelope& envelope)
{
    if (generation != generation_)
        return;
    switch (report) {
    case Report::Progress:
        envelope_ = envelope;
        Q_EMIT progress(envelope_);
        break;
    case Report::Finished:
        envelope_ = envelope;
        Q_EMIT finished(envelope_);
        break;
    case Report::Failed:
        Q_EMIT failed(path_);
        break;
    }
}

} // namespace tavrin
