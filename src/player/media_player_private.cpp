#include "player/media_player_private.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <exception>

namespace tavrin {

namespace {

// libmpv's own probing order on Debian, with the silent output last, so that a
// machine without a usable sound device still plays instead of ending the file.
constexpr char kAudioOutputsWithFallback[] = "pipewire,pulse,alsa,jack,sdl,null";

struct OptionSetting {
    const char* name;
    const char* value; // empty: left at libmpv's default
};

// Sets libmpv's options, before it is initialized. `outputs` is its audio output list.
void setStartOptions(MpvHandle& mpv, const MediaPlayer::Options& options, const QByteArray& outputs)
{
    const QByteArray pcmFile = options.audioOutputFile.toUtf8();
    const QByteArray ipcServer = options.ipcServer.toUtf8();
    const OptionSetting settings[] = {
        {"ao", outputs.constData()},
        {"ao-pcm-file", pcmFile.constData()},
        // No picture is decoded unless a video window asks for one (VideoRenderer),
        // which libmpv's render API then draws: the typist's CPU is not spent on it.
        {"vid", "no"},
        {"vo", "libmpv"},
        // The machine's video decoder where libmpv knows it to be safe; software elsewhere.
        {"hwdec", "auto-safe"},
        {"audio-display", "no"},
        {"idle", "yes"},
        // At the end the recording stays loaded. libmpv's own pause at the end
        // races with a seek issued meanwhile (the seek then jumps back to the
        // end), so the pause is made by handleEndReached() once the end has been seen.
        {"keep-open", "yes"},
        {"keep-open-pause", "no"},
        {"hr-seek", "yes"},
        {"audio-pitch-correction", "yes"},
        {"volume", "50"},
        {"volume-max", "100"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"audio-file-auto", "no"},
        {"sub-auto", "no"},
        {"audio-client-name", "tavrin"},
        {"input-ipc-server", ipcServer.constData()},
    };
    for (const OptionSetting& setting : settings) {
        if (*setting.value)
            mpv.setOption(setting.name, setting.value);
    }
}

// An opening ends however open() returns, by a call that throws too: else every
// later one would find the player still opening.
class OpeningScope {
public:
    explicit OpeningScope(OpenSeekState& state)
        : state_(state)
    {
        state_.opening = OpenSeekState::Opening::Waiting;
    }
    ~OpeningScope() { state_.opening = OpenSeekState::Opening::None; }
    OpeningScope(const OpeningScope&) = delete;
    OpeningScope& operator=(const OpeningScope&) = delete;

private:
    OpenSeekState& state_;
};

} // namespace

bool MediaPlayer::Private::hasVideoTrack() const
{
    const int64_t tracks = mpv_->getInt("track-list/count").value_or(0);
    for (int64_t track = 0; track < tracks; ++track) {
        const QByteArray prefix = "track-list/" + QByteArray::number(track) + '/';
        if (mpv_->getString((prefix + "type").constData()) == QByteArray("video")
            && !mpv_->getFlag((prefix + "albumart").constData()))
            return true;
    }
    return false;
}

void OpenSeekState::settleOpening(Opening verdict)
{
    opening = verdict;
    if (openingLoop)
        openingLoop->quit();
}

void OpenSeekState::forgetSeeks()
{
    seekInFlight.reset();
    heldAt.reset();
    landedAt.reset();
}

// Until the reading first reaches the target it is an early one (libmpv counts its
// sound buffer, not yet playing, as behind: up to a second seen). A loop cannot go
// round before the reading has passed the target, nor a recording end; the time
// bound is for a reading that never comes.
double OpenSeekState::positionAfterLanding(double read) const
{
    constexpr auto kEarlyWhile = std::chrono::seconds(2);
    if (!landedAt)
        return read;
    if (read < *landedAt && std::chrono::steady_clock::now() - landedWhen < kEarlyWhile)
        return *landedAt;
    landedAt.reset();
    return read;
}

// ---- Start-up

MediaPlayer::Private::Private(MediaPlayer& owner, const Options& options)
    : owner_(owner)
    , options_(options)
{
}

MediaPlayer::Private::~Private()
{
    if (starting_.valid())
        starting_.wait();
}

void MediaPlayer::Private::startInBackground()
{
    if (starting_.valid())
        return;
    starting_ = std::async(std::launch::async, [this] {
        try {
            start();
        } catch (const std::exception& error) {
            startError_ = error.what();
            QMetaObject::invokeMethod(
                &owner_, [this] { Q_EMIT owner_.failed(QString::fromStdString(startError_)); }, Qt::QueuedConnection);
        }
    });
}

void MediaPlayer::Private::waitStarted()
{
    if (!startWaited_) {
        startInBackground();
        starting_.wait();
        startWaited_ = true;
    }
    if (!startError_.empty())
        throw PlayerError(startError_);
}

// Loads and starts libmpv; runs on a thread of its own.
void MediaPlayer::Private::start()
{
    const QByteArray outputs =
        options_.audioOutput.isEmpty() ? QByteArray(kAudioOutputsWithFallback) : options_.audioOutput.toUtf8();
    silentByChoice_ = outputs.startsWith("null");
    auto handle = std::make_unique<MpvHandle>();
    handle->setFaults(options_.faults);
    setStartOptions(*handle, options_, outputs);
    handle->initialize();
    observeProperties(*handle);
    // In place before the first wakeup: the drain it queues uses it.
    mpv_ = std::move(handle);
    mpv_->setWakeupCallback(&Private::queueDrain, this);
}

// ---- Opening a recording

// Opening is asynchronous in libmpv: waits for the first restart of playback
// (the file opened and decodes) or its end (it did not), with events flowing.
bool MediaPlayer::Private::open(const QString& path, double start)
{
    const OpeningScope opening(state);
    state.forgetSeeks();
    state.openingStarted = false;
    mpv_->setFlag("pause", true);
    sound.beforeRestart(*mpv_);
    state.openingEntry = mpv_->loadFile(path, start);
    waitForOpeningVerdict();
    // Sound is all this player gives: a file whose sound cannot be played
    // (no audio track, or no output for it) did not open.
    bool opened = state.opening == OpenSeekState::Opening::Opened;
    if (opened && (mpv_->getFlag("idle-active") || !mpv_->hasString("current-ao"))) {
        opened = false;
        state.openingError = MPV_ERROR_AO_INIT_FAILED;
    }
    if (state.isOpening())
        state.openingError = 0; // no verdict in time
    return opened;
}

void MediaPlayer::Private::waitForOpeningVerdict()
{
    QEventLoop waiting;
    QTimer::singleShot(options_.openTimeoutMs, &waiting, &QEventLoop::quit);
    state.openingLoop = &waiting;
    drainEvents();
    if (state.isOpening())
        waiting.exec();
    state.openingLoop = nullptr;
}

void MediaPlayer::Private::reopen(const QString& previous, double position)
{
    if (!previous.isEmpty()) {
        try {
            open(previous, position);
        } catch (const PlayerError&) {
            // libmpv refused the command itself: it still holds the file it had.
        }
        state.ready = false;
    } else {
        mpv_->commandIgnoringFailure({"stop"});
    }
}

// ---- Helpers of the operations

bool MediaPlayer::Private::nothingOpen() const
{
    return url.isEmpty() || mpv_->getFlag("idle-active");
}

bool MediaPlayer::Private::atEnd() const
{
    return !state.seekInFlight && mpv_->getFlag("eof-reached");
}

void MediaPlayer::Private::seekTo(double seconds)
{
    // Positions are kept to the millisecond, hence the slack. The loop's end is
    // outside it: libmpv goes round from there at once, so a seek to the end
    // (the next passage's mark) would be pulled straight back to the start.
    constexpr double kSlack = 0.0005;
    if (loop && (seconds < loop->start - kSlack || seconds > loop->end - kSlack))
        endLoop();
    // A recording that has just played to its end counts as stopped, even
    // before the pause made for it has come through.
    if (atEnd())
        mpv_->setFlag("pause", true);
    sound.beforeRestart(*mpv_);
    const QByteArray target = QByteArray::number(seconds, 'f', 6);
    mpv_->commandAsync(kSeekReply, {"seek", target.constData(), "absolute+exact"});
    ++state.seeksUnanswered;
    state.seekInFlight = seconds;
    state.heldAt.reset();
    state.landedAt.reset();
}

void MediaPlayer::Private::endLoop()
{
    if (!loop)
        return;
    mpv_->setOption("ab-loop-a", "no");
    mpv_->setOption("ab-loop-b", "no");
    loop.reset();
    Q_EMIT owner_.loopChanged();
}

void MediaPlayer::Private::useFilterChain(double rate, const ListeningAids& aids)
{
    sound.use(*mpv_, rate, aids);
}

} // namespace tavrin
