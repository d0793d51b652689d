#pragma once

// The inside of MediaPlayer: media_player.cpp holds the operations,
// media_player_private.cpp the start-up and opening a recording, and
// media_player_events.cpp what libmpv reports back.

#include "player/media_player.h"
#include "player/mpv_handle.h"
#include "player/sound_chain.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>

class QEventLoop;

namespace tavrin {

// Positions are kept to the millisecond: libmpv may land a sample short of the
// target (8 kHz audio gives 122.999875 for 123), which would show as the second before.
inline double toMilliseconds(double seconds)
{
    return std::round(seconds * 1000.0) / 1000.0;
}

// The answer to a seek carries this.
inline constexpr uint64_t kSeekReply = 1;

// What the player knows ahead of libmpv, whose properties follow a transport
// call or a seek only once its own threads have carried it out.
struct OpenSeekState {
    bool stopped = false; // stop() was the last transport call
    bool ready = false;   // opened and not yet played, paused or stopped
    // A seek asked for and not yet carried out: its target is the position.
    std::optional<double> seekInFlight;
    // Where a pause was asked, or a seek carried out while paused: it stays the
    // position until playback resumes. libmpv's own reading may otherwise move
    // after a pause (it settles on its next round) or stay short of the end of a
    // file by the length of its sound buffer.
    std::optional<double> heldAt;
    // Where a seek landed while playing, and when. After the restart, until its
    // sound output runs again, libmpv may read short of the target (15.999 for 16,
    // 63.1 for 64): a time mark taken then would name the second before. The
    // target stands for such readings, which end at the first that reaches it.
    mutable std::optional<double> landedAt;
    std::chrono::steady_clock::time_point landedWhen;
    double positionAfterLanding(double read) const;
    // Seeks libmpv has not yet answered. A restart it reports before its answer
    // to the last one belongs to what went before (an earlier seek, the start
    // of playback), not to the seek asked for.
    int seeksUnanswered = 0;

    // Opening a recording: the playlist entry being opened and libmpv's verdict.
    // Events about the file before it (a late restart after a seek) come first
    // in the queue, so only what follows the new entry's start counts.
    enum class Opening {
        None,
        Waiting,
        Opened,
        Failed
    };
    Opening opening = Opening::None;
    int64_t openingEntry = -1;
    bool openingStarted = false;
    int openingError = 0;              // libmpv's error code for a failed opening; 0: no verdict in time
    QEventLoop* openingLoop = nullptr; // quit as soon as the verdict arrives

    bool isOpening() const { return opening == Opening::Waiting; }
    void settleOpening(Opening verdict);
    void forgetSeeks();
};

class MediaPlayer::Private {
public:
    Private(MediaPlayer& owner, const Options& options);
    ~Private(); // waits for a start-up under way

    // Start-up: libmpv is loaded and started on a thread of its own, so that
    // nothing on the window's thread waits for its two hundred libraries.
    void startInBackground();
    // Waits, the first time, until libmpv has started (starting it if nobody
    // has yet); throws when it could not. Everything below needs it.
    void waitStarted();

    MpvHandle& mpv() const { return *mpv_; }
    // No file is open: none was loaded, or the one loaded could not be opened again
    // after a failed load (deleted meanwhile). Transport calls then do nothing, as
    // a seek or play on an empty player would only fail, again at every key press.
    bool nothingOpen() const;
    // Played to its end, and no seek asked for since.
    bool atEnd() const;
    // A video stream that is not a cover image, in the file open now.
    bool hasVideoTrack() const;
    void seekTo(double seconds);
    // Ends the loop, in libmpv too; says so when there was one.
    void endLoop();
    // The rate and the sound aids from now on (see SoundChain); throws when libmpv refuses the chain.
    void useFilterChain(double rate, const ListeningAids& aids);

    // Opens `path` paused at `start`; returns whether it opened, else leaves the
    // reason in state.openingError. Throws PlayerError when libmpv refuses to
    // start opening it at all. Either way, the opening is over when it returns.
    bool open(const QString& path, double start);
    // After a failed open: loads `previous` again at `position`, or with none
    // before leaves nothing loaded.
    void reopen(const QString& previous, double position);

    QString url; // of the loaded recording
    OpenSeekState state;
    std::optional<Loop> loop; // as set in libmpv
    bool video = false;       // the recording has a picture
    SoundChain sound;
    bool hasStarted() const { return startWaited_ && mpv_; }

private:
    void start();
    void waitForOpeningVerdict();

    // media_player_events.cpp
    static void observeProperties(MpvHandle& mpv);
    static void queueDrain(void* context);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handleStartFile(const mpv_event_start_file& start);
    void handlePlaybackRestart();
    void handleSeekReply(int error);
    void handleEndFile(const mpv_event_end_file& end);

    void handlePropertyChange(uint64_t id, const mpv_event_property& property);
    void handleTimePos(double seconds);
    void handleDuration(double seconds);
    void handlePause(bool paused);
    void handleSpeed(double rate);
    void handleVolume(double volume);
    void handleMute(bool muted);
    void handleEndReached(bool reached);
    void handleCurrentAo(const char* output);

    MediaPlayer& owner_;
    const Options options_;
    std::unique_ptr<MpvHandle> mpv_; // set once started
    std::future<void> starting_;
    std::string startError_;
    bool startWaited_ = false;
    std::atomic<bool> wakeupQueued_{false};
    bool silentByChoice_ = false; // the silent output was asked for, not fallen back to
    bool soundDeviceReported_ = false;
};

} // namespace tavrin
