#include "playback/media_player.h"

#include "playback/audio_filters.h"
#include "playback/libmpv_loader.h"
#include "playback/time_text.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cmath>
#include <future>
#include <optional>

namespace tavrin {

namespace {

// libmpv's own probing order on Debian, with the silent output last, so that a
// machine without a usable sound device still plays instead of ending the file.
constexpr char kAudioOutputsWithFallback[] = "pipewire,pulse,alsa,jack,sdl,null";

enum ObservedProperty : uint64_t {
    ObserveTimePos = 1,
    ObserveDuration,
    ObservePause,
    ObserveSpeed,
    ObserveVolume,
    ObserveMute,
    ObserveCurrentAo,
    ObserveEndReached,
};

// Positions are kept to the millisecond: libmpv may land a sample short of the
// target (8 kHz audio gives 122.999875 for 123), which would show as the second before.
double toMilliseconds(double seconds)
{
    return std::round(seconds * 1000.0) / 1000.0;
}

[[noreturn]] void fail(const char* what, int error)
{
    throw PlayerError(QStringLiteral("播放器操作失败：%1（%2）")
                          .arg(QString::fromUtf8(what), QString::fromUtf8(loadLibMpv().errorString(error)))
                          .toStdString());
}

} // namespace

class MediaPlayer::Private {
public:
    explicit Private(MediaPlayer* player)
        : owner(player)
    {
    }

    MediaPlayer* owner;
    const LibMpv* mpv = nullptr;
    mpv_handle* handle = nullptr;
    Options options;
    std::atomic<bool> wakeupQueued{false};
    std::future<void> starting;
    std::string startError;
    bool started = false;

    // Loads and starts libmpv; runs on a thread of its own.
    void start()
    {
        mpv = &loadLibMpv();
        handle = mpv->create();
        if (!handle)
            throw PlayerError("播放器无法启动：libmpv 创建失败");
        try {
            const QByteArray outputs = options.audioOutput.isEmpty() ? QByteArray(kAudioOutputsWithFallback)
                                                                     : options.audioOutput.toUtf8();
            setOption("ao", outputs.constData());
            silentByChoice = outputs.startsWith("null");
            if (!options.audioOutputFile.isEmpty())
                setOption("ao-pcm-file", options.audioOutputFile.toUtf8().constData());
            // The strip is too small for a picture; decoding video would only cost the typist CPU.
            setOption("vid", "no");
            setOption("vo", "null");
            setOption("audio-display", "no");
            setOption("idle", "yes");
            // At the end the recording stays loaded. libmpv's own pause at the end
            // races with a seek issued meanwhile (the seek then jumps back to the
            // end), so the pause is made here once the end has been seen.
            setOption("keep-open", "yes");
            setOption("keep-open-pause", "no");
            setOption("hr-seek", "yes");
            setOption("audio-pitch-correction", "yes");
            setOption("volume", "50");
            setOption("volume-max", "100");
            setOption("input-default-bindings", "no");
            setOption("input-vo-keyboard", "no");
            setOption("load-scripts", "no");
            setOption("ytdl", "no");
            setOption("audio-file-auto", "no");
            setOption("sub-auto", "no");
            setOption("audio-client-name", "tavrin");
            if (!options.ipcServer.isEmpty())
                setOption("input-ipc-server", options.ipcServer.toUtf8().constData());
            const int error = mpv->initialize(handle);
            if (error < 0)
                fail("initialize", error);
        } catch (...) {
            mpv->terminateDestroy(handle);
            handle = nullptr;
            throw;
        }
        mpv->observeProperty(handle, ObserveTimePos, "time-pos", MPV_FORMAT_DOUBLE);
        mpv->observeProperty(handle, ObserveDuration, "duration", MPV_FORMAT_DOUBLE);
        mpv->observeProperty(handle, ObservePause, "pause", MPV_FORMAT_FLAG);
        mpv->observeProperty(handle, ObserveSpeed, "speed", MPV_FORMAT_DOUBLE);
        mpv->observeProperty(handle, ObserveVolume, "volume", MPV_FORMAT_DOUBLE);
        mpv->observeProperty(handle, ObserveMute, "mute", MPV_FORMAT_FLAG);
        mpv->observeProperty(handle, ObserveCurrentAo, "current-ao", MPV_FORMAT_STRING);
        mpv->observeProperty(handle, ObserveEndReached, "eof-reached", MPV_FORMAT_FLAG);
        // Called on one of libmpv's threads: it only queues the draining onto the
        // window's thread, and queues it once however many wakeups arrive before
        // the drain runs.
        mpv->setWakeupCallback(
            handle,
            [](void* context) {
                auto* self = static_cast<MediaPlayer*>(context);
                if (!self->d->wakeupQueued.exchange(true))
                    QMetaObject::invokeMethod(self, &MediaPlayer::drainEvents, Qt::QueuedConnection);
            },
            owner);
    }

    // libmpv is loaded and started on a thread of its own, so that nothing on
    // the window's thread waits for its two hundred libraries.
    void startInBackground()
    {
        if (starting.valid())
            return;
        starting = std::async(std::launch::async, [this] {
            try {
                start();
            } catch (const std::exception& error) {
                startError = error.what();
                QMetaObject::invokeMethod(
                    owner, [this] { Q_EMIT owner->unavailable(QString::fromStdString(startError)); },
                    Qt::QueuedConnection);
            }
        });
    }

    // Waits, the first time, until libmpv has started (starting it if nobody
    // has yet); throws when it could not.
    void waitStarted()
    {
        if (!started) {
            startInBackground();
            starting.wait();
            started = true;
        }
        if (!startError.empty())
            throw PlayerError(startError);
    }

    QString url;
    bool stopped = false; // stop() was the last transport call
    bool ready = false; // opened and not yet played, paused or stopped
    // A seek asked for and not yet carried out: its target is the position.
    std::optional<double> seekInFlight;
    // A seek carried out while paused: its target stays the position until
    // playback resumes. Paused after the end of a file, libmpv may otherwise
    // report a position short of it by the length of its sound buffer.
    std::optional<double> heldAt;
    bool soundDeviceReported = false;
    bool silentByChoice = false; // the silent output was asked for, not fallen back to

    // Opening a recording: the playlist entry being opened and libmpv's verdict.
    // Events about the file before it (a late restart after a seek) come first
    // in the queue, so only what follows the new entry's start counts.
    enum class Opening { None, Waiting, Opened, Failed };
    Opening opening = Opening::None;
    int64_t openingEntry = -1;
    bool openingStarted = false;
    int openingError = 0;
    QEventLoop* openingLoop = nullptr; // quit as soon as the verdict arrives
    QByteArray filterChain; // libmpv's "af", empty at start

    void setOption(const char* name, const char* value)
    {
        const int error = mpv->setOptionString(handle, name, value);
        if (error < 0)
            fail(name, error);
    }

    void command(const char* const* args)
    {
        const int error = mpv->command(handle, const_cast<const char**>(args));
        if (error < 0)
            fail(args[0], error);
    }

    void setFlag(const char* name, bool value)
    {
        int flag = value ? 1 : 0;
        const int error = mpv->setProperty(handle, name, MPV_FORMAT_FLAG, &flag);
        if (error < 0)
            fail(name, error);
    }

    void setDouble(const char* name, double value)
    {
        const int error = mpv->setProperty(handle, name, MPV_FORMAT_DOUBLE, &value);
        if (error < 0)
            fail(name, error);
    }

    std::optional<double> getDouble(const char* name) const
    {
        double value = 0.0;
        if (mpv->getProperty(handle, name, MPV_FORMAT_DOUBLE, &value) < 0)
            return std::nullopt;
        return value;
    }

    bool getFlag(const char* name) const
    {
        int flag = 0;
        mpv->getProperty(handle, name, MPV_FORMAT_FLAG, &flag);
        return flag != 0;
    }

    // No file is open: none was loaded, or the one loaded could not be opened again
    // after a failed load (deleted meanwhile). Transport calls then do nothing, as
    // a seek or play on an empty player would only fail, again at every key press.
    bool nothingOpen() const { return url.isEmpty() || getFlag("idle-active"); }

    bool hasAudioOutput() const
    {
        char* output = nullptr;
        if (mpv->getProperty(handle, "current-ao", MPV_FORMAT_STRING, &output) < 0 || !output)
            return false;
        mpv->free(output);
        return true;
    }

    void seekTo(double seconds)
    {
        // A recording that has just played to its end counts as stopped, even
        // before the pause made for it has come through.
        if (!seekInFlight && getFlag("eof-reached"))
            setFlag("pause", true);
        const QByteArray target = QByteArray::number(seconds, 'f', 6);
        const char* args[] = {"seek", target.constData(), "absolute+exact", nullptr};
        command(args);
        seekInFlight = seconds;
        heldAt.reset();
    }

    // Starts loading `path` paused at `start` and returns the playlist entry libmpv gave it.
    int64_t startLoading(const QString& path, double start)
    {
        setFlag("pause", true);
        const QByteArray file = path.toUtf8();
        const QByteArray startOption = "start=" + QByteArray::number(start, 'f', 6);
        const char* args[] = {"loadfile", file.constData(), "replace", startOption.constData(), nullptr};
        mpv_node result;
        const int error = mpv->commandRet(handle, args, &result);
        if (error < 0)
            fail("loadfile", error);
        int64_t entry = -1;
        if (result.format == MPV_FORMAT_NODE_MAP) {
            const mpv_node_list* map = result.u.list;
            for (int i = 0; i < map->num; ++i) {
                if (qstrcmp(map->keys[i], "playlist_entry_id") == 0 && map->values[i].format == MPV_FORMAT_INT64)
                    entry = map->values[i].u.int64;
            }
        }
        mpv->freeNodeContents(&result);
        return entry;
    }
};

MediaPlayer::MediaPlayer(const Options& options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>(this))
{
    d->options = options;
    // QApplication sets the user's locale; libmpv refuses to start unless numbers
    // use the C locale. Set here, on the window's thread, before libmpv starts.
    std::setlocale(LC_NUMERIC, "C");
}

void MediaPlayer::startInBackground()
{
    d->startInBackground();
}

MediaPlayer::~MediaPlayer()
{
    if (d->starting.valid())
        d->starting.wait();
    if (d->handle) {
        d->mpv->setWakeupCallback(d->handle, nullptr, nullptr);
        d->mpv->terminateDestroy(d->handle);
    }
}

void MediaPlayer::drainEvents()
{
    d->wakeupQueued = false;
    for (;;) {
        mpv_event* event = d->mpv->waitEvent(d->handle, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        switch (event->event_id) {
        case MPV_EVENT_START_FILE:
            if (static_cast<mpv_event_start_file*>(event->data)->playlist_entry_id == d->openingEntry)
                d->openingStarted = true;
            break;
        case MPV_EVENT_PLAYBACK_RESTART:
            if (d->seekInFlight && d->getFlag("pause"))
                d->heldAt = d->seekInFlight;
            d->seekInFlight.reset();
            if (d->opening == Private::Opening::Waiting && d->openingStarted) {
                d->opening = Private::Opening::Opened;
                if (d->openingLoop)
                    d->openingLoop->quit();
            }
            Q_EMIT playbackRestarted();
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<mpv_event_end_file*>(event->data);
            // An end right after the first restart (no sound output could be
            // opened for it, say) still makes the opening a failure.
            if (d->opening != Private::Opening::None && end->playlist_entry_id == d->openingEntry) {
                d->opening = Private::Opening::Failed;
                d->openingError = end->reason == MPV_END_FILE_REASON_ERROR ? end->error : MPV_ERROR_NOTHING_TO_PLAY;
                if (d->openingLoop)
                    d->openingLoop->quit();
            }
            d->seekInFlight.reset();
            d->heldAt.reset();
            break;
        }
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto* property = static_cast<mpv_event_property*>(event->data);
            const bool has = property->format != MPV_FORMAT_NONE;
            switch (event->reply_userdata) {
            case ObserveTimePos:
                if (has)
                    Q_EMIT positionChanged(toMilliseconds(*static_cast<double*>(property->data)));
                break;
            case ObserveDuration:
                Q_EMIT durationChanged(has ? toMilliseconds(*static_cast<double*>(property->data)) : 0.0);
                break;
            case ObservePause:
                if (has)
                    Q_EMIT pausedChanged(*static_cast<int*>(property->data) != 0);
                break;
            case ObserveSpeed:
                if (has)
                    Q_EMIT rateChanged(*static_cast<double*>(property->data));
                break;
            case ObserveVolume:
                if (has)
                    Q_EMIT volumeChanged(qRound(*static_cast<double*>(property->data)));
                break;
            case ObserveMute:
                if (has)
                    Q_EMIT mutedChanged(*static_cast<int*>(property->data) != 0);
                break;
            case ObserveEndReached:
                // A seek issued since the end was reached (F9 at the very end) wins.
                if (has && *static_cast<int*>(property->data) != 0 && !d->seekInFlight
                    && d->getFlag("eof-reached")) {
                    int pause = 1;
                    d->mpv->setProperty(d->handle, "pause", MPV_FORMAT_FLAG, &pause);
                }
                break;
            case ObserveCurrentAo:
                if (has && !d->silentByChoice && !d->soundDeviceReported
                    && qstrcmp(*static_cast<char**>(property->data), "null") == 0) {
                    d->soundDeviceReported = true;
                    Q_EMIT soundDeviceUnavailable();
                }
                break;
            }
            break;
        }
        default:
            break;
        }
    }
}

QString MediaPlayer::url() const
{
    return d->url;
}

void MediaPlayer::setUrl(const QString& path)
{
    d->waitStarted();
    if (path.isEmpty())
        throw PlayerError("播放器操作失败：文件名为空");
    if (d->opening == Private::Opening::Waiting)
        throw PlayerError("播放器操作失败：上一个文件仍在打开中");
    const QString previous = d->url;
    const double previousPosition = currentPosition();

    // Opening is asynchronous in libmpv: wait for the first restart of playback
    // (the file opened and decodes) or its end (it did not), with events flowing.
    auto open = [this](const QString& file, double start) {
        d->opening = Private::Opening::Waiting;
        d->seekInFlight.reset();
        d->heldAt.reset();
        d->openingStarted = false;
        d->openingEntry = d->startLoading(file, start);
        QEventLoop loop;
        QTimer::singleShot(d->options.openTimeoutMs, &loop, &QEventLoop::quit);
        d->openingLoop = &loop;
        drainEvents();
        if (d->opening == Private::Opening::Waiting)
            loop.exec();
        d->openingLoop = nullptr;
        // Sound is all this player gives: a file whose sound cannot be played
        // (no audio track, or no output for it) did not open.
        bool opened = d->opening == Private::Opening::Opened;
        if (opened && (d->getFlag("idle-active") || !d->hasAudioOutput())) {
            opened = false;
            d->openingError = MPV_ERROR_AO_INIT_FAILED;
        }
        if (d->opening == Private::Opening::Waiting)
            d->openingError = 0; // no verdict in time
        d->opening = Private::Opening::None;
        return opened;
    };

    if (open(path, 0.0)) {
        d->url = path;
        d->stopped = false;
        d->ready = true;
        Q_EMIT urlChanged(d->url);
        return;
    }
    const int error = d->openingError;
    if (!previous.isEmpty()) {
        open(previous, previousPosition);
        d->ready = false;
    } else {
        const char* args[] = {"stop", nullptr};
        d->mpv->command(d->handle, const_cast<const char**>(args));
    }
    const QString reason = error == 0 ? QStringLiteral("打开超时") : QString::fromUtf8(d->mpv->errorString(error));
    throw PlayerError(QStringLiteral("无法打开文件“%1”：%2").arg(path, reason).toStdString());
}

int MediaPlayer::playState() const
{
    d->waitStarted();
    if (d->opening == Private::Opening::Waiting)
        return PlayStateTransitioning;
    if (d->url.isEmpty() || d->getFlag("idle-active"))
        return PlayStateUndefined;
    if (d->stopped)
        return PlayStateStopped;
    if (!d->seekInFlight && d->getFlag("eof-reached"))
        return PlayStateStopped;
    if (!d->getFlag("pause"))
        return PlayStatePlaying;
    return d->ready ? PlayStateReady : PlayStatePaused;
}

void MediaPlayer::play()
{
    d->waitStarted();
    if (d->nothingOpen())
        return;
    // A recording stopped at its end plays again from the start.
    if (!d->seekInFlight && d->getFlag("eof-reached"))
        d->seekTo(0.0);
    d->setFlag("pause", false);
    d->heldAt.reset();
    d->stopped = false;
    d->ready = false;
}

void MediaPlayer::pause()
{
    d->waitStarted();
    if (d->nothingOpen())
        return;
    d->setFlag("pause", true);
    d->stopped = false;
    d->ready = false;
}

void MediaPlayer::stop()
{
    d->waitStarted();
    if (d->nothingOpen())
        return;
    d->setFlag("pause", true);
    d->seekTo(0.0);
    d->stopped = true;
    d->ready = false;
}

double MediaPlayer::currentPosition() const
{
    d->waitStarted();
    if (d->url.isEmpty())
        return 0.0;
    if (d->seekInFlight)
        return *d->seekInFlight;
    if (d->heldAt)
        return *d->heldAt;
    return toMilliseconds(d->getDouble("time-pos").value_or(0.0));
}

void MediaPlayer::setCurrentPosition(double seconds)
{
    d->waitStarted();
    if (d->nothingOpen())
        return;
    if (!std::isfinite(seconds))
        throw PlayerError("播放器操作失败：无效的播放位置");
    const double length = duration();
    d->seekTo(std::clamp(seconds, 0.0, std::max(length, 0.0)));
}

QString MediaPlayer::currentPositionString() const
{
    d->waitStarted();
    return d->url.isEmpty() ? QString() : playerTimeText(currentPosition());
}

QString MediaPlayer::durationString() const
{
    d->waitStarted();
    return d->url.isEmpty() ? QString() : playerTimeText(duration());
}

double MediaPlayer::rate() const
{
    d->waitStarted();
    return d->getDouble("speed").value_or(1.0);
}

void MediaPlayer::setRate(double rate)
{
    d->waitStarted();
    if (!std::isfinite(rate) || rate <= 0.0)
        throw PlayerError("播放器操作失败：无效的播放速度");
    // The chain first: with the speed first, libmpv would put in its own stretcher for a moment.
    const QByteArray chain = audioFilterChain(rate);
    if (chain != d->filterChain) {
        d->setOption("af", chain.constData());
        d->filterChain = chain;
    }
    d->setDouble("speed", rate);
}

double MediaPlayer::duration() const
{
    d->waitStarted();
    if (d->url.isEmpty())
        return 0.0;
    return toMilliseconds(d->getDouble("duration").value_or(0.0));
}

int MediaPlayer::volume() const
{
    d->waitStarted();
    return qRound(d->getDouble("volume").value_or(0.0));
}

void MediaPlayer::setVolume(int volume)
{
    d->waitStarted();
    d->setDouble("volume", std::clamp(volume, 0, 100));
}

bool MediaPlayer::isMuted() const
{
    d->waitStarted();
    return d->getFlag("mute");
}

void MediaPlayer::setMuted(bool muted)
{
    d->waitStarted();
    d->setFlag("mute", muted);
}

} // namespace tavrin
