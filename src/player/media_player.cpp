#include "player/media_player.h"

#include "player/media_player_private.h"
#include "player/video_renderer.h"
#include "transcript/time_text.h"

#include <algorithm>
#include <clocale>
#include <cmath>

namespace tavrin {

MediaPlayer::MediaPlayer(const Options& options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>(*this, options))
{
    // QApplication sets the user's locale; libmpv refuses to start unless numbers
    // use the C locale. Set here, on the window's thread, before libmpv starts.
    std::setlocale(LC_NUMERIC, "C");
}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::startInBackground()
{
    d->startInBackground();
}

MediaPlayer::Private& MediaPlayer::started() const
{
    d->waitStarted();
    return *d;
}

QString MediaPlayer::url() const
{
    return d->url;
}

void MediaPlayer::setUrl(const QString& path)
{
    Private& player = started();
    if (path.isEmpty())
        throw PlayerError("播放器操作失败：文件名为空");
    if (player.state.isOpening())
        throw PlayerError("播放器操作失败：上一个文件仍在打开中");
    const QString previous = player.url;
    const double previousPosition = currentPosition();
    player.endLoop(); // a passage of one recording means nothing in another
    QString refused;  // libmpv refused to open it at all
    try {
        if (player.open(path, 0.0)) {
            player.url = path;
            player.state.stopped = false;
            player.state.ready = true;
            player.video = player.hasVideoTrack();
            Q_EMIT urlChanged(player.url);
            Q_EMIT videoChanged(player.video);
            return;
        }
    } catch (const PlayerError& error) {
        refused = QString::fromUtf8(error.what());
    }
    const int error = player.state.openingError;
    player.reopen(previous, previousPosition);
    const QString reason = !refused.isEmpty() ? refused
        : error == 0                          ? QStringLiteral("打开超时")
                                              : player.mpv().errorText(error);
    throw PlayerError(QStringLiteral("无法打开文件“%1”：%2").arg(path, reason).toStdString());
}

int MediaPlayer::playState() const
{
    Private& player = started();
    if (player.state.isOpening())
        return PlayStateTransitioning;
    if (player.nothingOpen())
        return PlayStateUndefined;
    if (player.state.stopped || player.atEnd())
        return PlayStateStopped;
    if (!player.mpv().getFlag("pause"))
        return PlayStatePlaying;
    return player.state.ready ? PlayStateReady : PlayStatePaused;
}

void MediaPlayer::play()
{
    Private& player = started();
    if (player.nothingOpen())
        return;
    // A recording stopped at its end plays again from the start, or from the
    // loop's start when the loop runs to the end.
    if (player.atEnd())
        player.seekTo(player.loop ? player.loop->start : 0.0);
    player.mpv().setFlag("pause", false);
    player.state.heldAt.reset();
    player.state.stopped = false;
    player.state.ready = false;
}

void MediaPlayer::pause()
{
    Private& player = started();
    if (player.nothingOpen())
        return;
    // Held where the pause was asked: libmpv settles its own reading only on its
    // next round, some milliseconds on, and a mark typed at once must name the
    // moment the display goes on showing.
    if (!player.state.seekInFlight && !player.state.heldAt && !player.atEnd())
        player.state.heldAt = currentPosition();
    player.mpv().setFlag("pause", true);
    player.state.stopped = false;
    player.state.ready = false;
}

void MediaPlayer::stop()
{
    Private& player = started();
    if (player.nothingOpen())
        return;
    player.mpv().setFlag("pause", true);
    player.seekTo(0.0);
    player.state.stopped = true;
    player.state.ready = false;
}

double MediaPlayer::currentPosition() const
{
    const Private& player = started();
    if (player.url.isEmpty())
        return 0.0;
    if (player.state.seekInFlight)
        return *player.state.seekInFlight;
    if (player.state.heldAt)
        return *player.state.heldAt;
    return player.state.positionAfterLanding(toMilliseconds(player.mpv().getDouble("time-pos").value_or(0.0)));
}

void MediaPlayer::setCurrentPosition(double seconds)
{
    Private& player = started();
    if (player.nothingOpen())
        return;
    if (!std::isfinite(seconds))
        throw PlayerError("播放器操作失败：无效的播放位置");
    const double length = duration();
    player.seekTo(std::clamp(seconds, 0.0, std::max(length, 0.0)));
}

QString MediaPlayer::currentPositionString() const
{
    return started().url.isEmpty() ? QString() : playerTimeText(currentPosition());
}

QString MediaPlayer::durationString() const
{
    return started().url.isEmpty() ? QString() : playerTimeText(duration());
}

double MediaPlayer::rate() const
{
    return started().mpv().getDouble("speed").value_or(1.0);
}

void MediaPlayer::setRate(double rate)
{
    Private& player = started();
    if (!std::isfinite(rate) || rate <= 0.0)
        throw PlayerError("播放器操作失败：无效的播放速度");
    // The chain first: with the speed first, libmpv would put in its own stretcher for a moment.
    player.useFilterChain(rate, player.sound.aids());
    player.mpv().setDouble("speed", rate);
}

ListeningAids MediaPlayer::listeningAids() const
{
    return d->sound.aids();
}

void MediaPlayer::setListeningAids(const ListeningAids& aids)
{
    if (d->hasStarted())
        d->useFilterChain(d->sound.rate(), aids);
    else
        d->sound.keepForFirstOpening(aids);
}

double MediaPlayer::duration() const
{
    const Private& player = started();
    if (player.url.isEmpty())
        return 0.0;
    return toMilliseconds(player.mpv().getDouble("duration").value_or(0.0));
}

int MediaPlayer::volume() const
{
    return qRound(started().mpv().getDouble("volume").value_or(0.0));
}

void MediaPlayer::setVolume(int volume)
{
    started().mpv().setDouble("volume", std::clamp(volume, 0, 100));
}

bool MediaPlayer::isMuted() const
{
    return started().mpv().getFlag("mute");
}

void MediaPlayer::setMuted(bool muted)
{
    started().mpv().setFlag("mute", muted);
}

void MediaPlayer::setLoop(const Loop& loop)
{
    Private& player = started();
    if (player.nothingOpen())
        return;
    const double length = std::max(duration(), 0.0);
    const double start = std::clamp(std::min(loop.start, loop.end), 0.0, length);
    const double end = std::clamp(std::max(loop.start, loop.end), 0.0, length);
    player.mpv().setOption("ab-loop-a", QByteArray::number(start, 'f', 6).constData());
    player.mpv().setOption("ab-loop-b", QByteArray::number(end, 'f', 6).constData());
    player.loop = Loop{start, end};
    Q_EMIT loopChanged();
}

void MediaPlayer::clearLoop()
{
    started().endLoop();
}

bool MediaPlayer::hasVideo() const
{
    return started().video;
}

std::unique_ptr<VideoRenderer> MediaPlayer::createVideoRenderer(void* (*procAddress)(void*, const char*))
{
    return std::make_unique<VideoRenderer>(started().mpv(), procAddress);
}

std::unique_ptr<VideoRenderer> MediaPlayer::createSoftwareVideoRenderer()
{
    return std::make_unique<VideoRenderer>(started().mpv());
}

bool MediaPlayer::pictureDecoded() const
{
    return started().mpv().getInt("video-dec-params/w").has_value();
}

std::optional<double> MediaPlayer::pictureAspect() const
{
    const std::optional<double> aspect = started().mpv().getDouble("video-params/aspect");
    if (!aspect || !std::isfinite(*aspect) || *aspect <= 0.0)
        return std::nullopt;
    return aspect;
}

std::optional<MediaPlayer::Loop> MediaPlayer::loop() const
{
    return d->loop;
}

template <typename Operation> void MediaPlayer::reportingFailure(Operation operation)
{
    try {
        operation();
    } catch (const std::exception& error) {
        Q_EMIT failed(QString::fromUtf8(error.what()));
    }
}

void MediaPlayer::requestPlay()
{
    reportingFailure([this] { play(); });
}

void MediaPlayer::requestPause()
{
    reportingFailure([this] { pause(); });
}

void MediaPlayer::requestStop()
{
    reportingFailure([this] { stop(); });
}

void MediaPlayer::requestPosition(double seconds)
{
    reportingFailure([this, seconds] { setCurrentPosition(seconds); });
}

void MediaPlayer::requestVolume(int volume)
{
    reportingFailure([this, volume] { setVolume(volume); });
}

void MediaPlayer::requestMuted(bool muted)
{
    reportingFailure([this, muted] { setMuted(muted); });
}

} // namespace tavrin
