#include "player/media_player_private.h"

#include <QMetaObject>

#include <algorithm>

namespace tavrin {

namespace {

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

struct Observed {
    ObservedProperty id;
    const char* name;
    mpv_format format;
};

constexpr Observed kObservedProperties[] = {
    {ObserveTimePos, "time-pos", MPV_FORMAT_DOUBLE},
    {ObserveDuration, "duration", MPV_FORMAT_DOUBLE},
    {ObservePause, "pause", MPV_FORMAT_FLAG},
    {ObserveSpeed, "speed", MPV_FORMAT_DOUBLE},
    {ObserveVolume, "volume", MPV_FORMAT_DOUBLE},
    {ObserveMute, "mute", MPV_FORMAT_FLAG},
    {ObserveCurrentAo, "current-ao", MPV_FORMAT_STRING},
    {ObserveEndReached, "eof-reached", MPV_FORMAT_FLAG},
};

double doubleIn(const mpv_event_property& property)
{
    return *static_cast<const double*>(property.data);
}

bool flagIn(const mpv_event_property& property)
{
    return *static_cast<const int*>(property.data) != 0;
}

const char* stringIn(const mpv_event_property& property)
{
    return *static_cast<const char* const*>(property.data);
}

} // namespace

void MediaPlayer::Private::observeProperties(MpvHandle& mpv)
{
    for (const Observed& property : kObservedProperties)
        mpv.observe(property.id, property.name, property.format);
}

// Called on one of libmpv's threads: it only queues the draining onto the
// window's thread, and queues it once however many wakeups arrive before the
// drain runs.
void MediaPlayer::Private::queueDrain(void* context)
{
    auto* self = static_cast<Private*>(context);
    if (!self->wakeupQueued_.exchange(true))
        QMetaObject::invokeMethod(
            &self->owner_, [self] { self->drainEvents(); }, Qt::QueuedConnection);
}

void MediaPlayer::Private::drainEvents()
{
    wakeupQueued_ = false;
    for (;;) {
        const mpv_event& event = mpv_->nextEvent();
        if (event.event_id == MPV_EVENT_NONE)
            return;
        handleEvent(event);
    }
}

void MediaPlayer::Private::handleEvent(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        handleStartFile(*static_cast<const mpv_event_start_file*>(event.data));
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        handlePlaybackRestart();
        break;
    case MPV_EVENT_COMMAND_REPLY:
        if (event.reply_userdata == kSeekReply)
            handleSeekReply(event.error);
        break;
    case MPV_EVENT_END_FILE:
        handleEndFile(*static_cast<const mpv_event_end_file*>(event.data));
        break;
    case MPV_EVENT_PROPERTY_CHANGE:
        handlePropertyChange(event.reply_userdata, *static_cast<const mpv_event_property*>(event.data));
        break;
    default:
        break;
    }
}

void MediaPlayer::Private::handleStartFile(const mpv_event_start_file& start)
{
    if (start.playlist_entry_id == state.openingEntry)
        state.openingStarted = true;
}

void MediaPlayer::Private::handleSeekReply(int error)
{
    state.seeksUnanswered = std::max(0, state.seeksUnanswered - 1);
    // A refused seek moves nothing: the position is libmpv's again.
    if (error < 0 && state.seeksUnanswered == 0)
        state.seekInFlight.reset();
}

void MediaPlayer::Private::handlePlaybackRestart()
{
    const bool seekStillAhead = state.seeksUnanswered > 0;
    if (!seekStillAhead) {
        if (state.seekInFlight && mpv_->getFlag("pause"))
            state.heldAt = state.seekInFlight;
        else if (state.seekInFlight) {
            state.landedAt = state.seekInFlight;
            state.landedWhen = std::chrono::steady_clock::now();
        }
        state.seekInFlight.reset();
        sound.restarted(*mpv_);
    }
    if (state.isOpening() && state.openingStarted)
        state.settleOpening(OpenSeekState::Opening::Opened);
    if (!seekStillAhead)
        Q_EMIT owner_.playbackRestarted();
}

void MediaPlayer::Private::handleEndFile(const mpv_event_end_file& end)
{
    // An end right after the first restart (no sound output could be opened
    // for it, say) still makes the opening a failure.
    if (state.opening != OpenSeekState::Opening::None && end.playlist_entry_id == state.openingEntry) {
        state.openingError = end.reason == MPV_END_FILE_REASON_ERROR ? end.error : MPV_ERROR_NOTHING_TO_PLAY;
        state.settleOpening(OpenSeekState::Opening::Failed);
    }
    state.forgetSeeks();
}

void MediaPlayer::Private::handlePropertyChange(uint64_t id, const mpv_event_property& property)
{
    // Without a value (no file open) the duration is 0; the others are not reported.
    if (property.format == MPV_FORMAT_NONE) {
        if (id == ObserveDuration)
            handleDuration(0.0);
        return;
    }
    switch (id) {
    case ObserveTimePos:
        handleTimePos(doubleIn(property));
        break;
    case ObserveDuration:
        handleDuration(doubleIn(property));
        break;
    case ObservePause:
        handlePause(flagIn(property));
        break;
    case ObserveSpeed:
        handleSpeed(doubleIn(property));
        break;
    case ObserveVolume:
        handleVolume(doubleIn(property));
        break;
    case ObserveMute:
        handleMute(flagIn(property));
        break;
    case ObserveEndReached:
        handleEndReached(flagIn(property));
        break;
    case ObserveCurrentAo:
        handleCurrentAo(stringIn(property));
        break;
    }
}

void MediaPlayer::Private::handleTimePos(double seconds)
{
    Q_EMIT owner_.positionChanged(toMilliseconds(seconds));
}

void MediaPlayer::Private::handleDuration(double seconds)
{
    Q_EMIT owner_.durationChanged(toMilliseconds(seconds));
}

void MediaPlayer::Private::handlePause(bool paused)
{
    Q_EMIT owner_.pausedChanged(paused);
}

void MediaPlayer::Private::handleSpeed(double rate)
{
    Q_EMIT owner_.rateChanged(rate);
}

void MediaPlayer::Private::handleVolume(double volume)
{
    Q_EMIT owner_.volumeChanged(qRound(volume));
}

void MediaPlayer::Private::handleMute(bool muted)
{
    Q_EMIT owner_.mutedChanged(muted);
}

void MediaPlayer::Private::handleEndReached(bool reached)
{
    // A seek issued since the end was reached (F9 at the very end) wins.
    if (reached && atEnd())
        mpv_->setFlagIgnoringFailure("pause", true);
}

void MediaPlayer::Private::handleCurrentAo(const char* output)
{
    if (!silentByChoice_ && !soundDeviceReported_ && qstrcmp(output, "null") == 0) {
        soundDeviceReported_ = true;
        Q_EMIT owner_.soundDeviceUnavailable();
    }
}

} // namespace tavrin
