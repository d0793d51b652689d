#pragma once

#include "player/listening_aids.h"
#include "player/player_error.h"
#include "player/player_faults.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace tavrin {

// The play states the commands look at. The numbers are Windows Media Player's
// playState values, which the play key's handling (TransportController::playPause,
// reached from the play button and from the editor's play key) was first
// written against: it plays from Stopped, Paused and Ready, pauses while
// Playing, and does nothing while Undefined (no file open) or Transitioning
// (a recording being opened). The states this player never enters (scanning,
// buffering, waiting, media ended, reconnecting) have no name here, hence the
// gap from 3 to 9; a recording played to its end reports Stopped.
enum PlayState : int {
    PlayStateUndefined = 0,
    PlayStateStopped = 1,
    PlayStatePaused = 2,
    PlayStatePlaying = 3,
    PlayStateTransitioning = 9,
    PlayStateReady = 10,
};

// The embedded player: one recording at a time, driven from the window's thread.
//
// A small facade over libmpv (no libmpv type appears here). Playback is exact:
// a position written is the position reached, clamped into the recording. A
// recording that plays to its end stays loaded, stopped at its end. The rate
// keeps the voice's pitch.
class VideoRenderer;

class MediaPlayer : public QObject {
    Q_OBJECT
public:
    struct Options {
        // libmpv audio output list. Empty: the desktop's sound, falling back to a
        // silent output. Falling back to "null" is reported once through
        // soundDeviceUnavailable(); asking for it first is not.
        QString audioOutput;
        // With audioOutput "pcm": the WAV file the sound is written into, as fast
        // as it is decoded (for measuring what the user would hear).
        QString audioOutputFile;
        // When set, libmpv listens for JSON IPC on this socket path (for end-to-end tests).
        QString ipcServer;
        // How long opening a recording may take before it counts as failed.
        int openTimeoutMs = 20000;
        // Tests only; none: libmpv's own results.
        const PlayerFaults* faults = nullptr;
    };

    // Returns at once: libmpv is loaded and started by startInBackground(), or
    // by the first operation below, which waits for it and throws when it failed.
    explicit MediaPlayer(const Options& options, QObject* parent = nullptr);
    ~MediaPlayer() override;

    // Starts loading libmpv on a thread of its own; the operations wait for it.
    void startInBackground();

    // Full path of the loaded recording; empty while none is loaded.
    QString url() const;
    // Opens a recording, stopped at its start. Waits, with events flowing, until
    // libmpv has opened it or given up. On failure throws, and the recording
    // loaded before (if any) is loaded again where it was, so url() is unchanged.
    // Should that one be gone too, url() still names it and play, pause, stop and
    // seeks do nothing, as while no recording is loaded.
    void setUrl(const QString& path);

    int playState() const;
    void play();
    void pause();
    void stop(); // back to the start, not playing

    double currentPosition() const;          // seconds; 0 while nothing is loaded
    void setCurrentPosition(double seconds); // clamped into the recording
    QString currentPositionString() const;   // MM:SS below one hour, HH:MM:SS above; empty while nothing is loaded
    QString durationString() const;

    double rate() const;
    void setRate(double rate);
    // Listening aids, heard at once, also while playing, at every rate. Set
    // before libmpv has started, they apply from the first recording. Throws
    // when libmpv cannot filter the sound so.
    ListeningAids listeningAids() const;
    void setListeningAids(const ListeningAids& aids);

    // For the player's own control bar.
    double duration() const; // seconds; 0 while nothing is loaded
    int volume() const;
    void setVolume(int volume); // 0..100
    bool isMuted() const;
    void setMuted(bool muted);

    // A passage played over and over: whenever playback reaches `end` it goes on
    // from `start` (libmpv's A-B loop, so no timer is late). A seek to a position
    // outside the passage, or to its end, ends the loop, as does opening a recording.
    struct Loop {
        double start = 0.0;
        double end = 0.0;
    };
    void setLoop(const Loop& loop); // the ends are clamped into the recording
    void clearLoop();
    std::optional<Loop> loop() const;

    // Whether the loaded recording has a picture (a video stream that is not a cover image).
    bool hasVideo() const;
    // Draws the picture into the OpenGL context current on this thread, which
    // `procAddress` resolves functions of; the video track is decoded while the
    // renderer lives. Throws PlayerError when libmpv cannot draw there.
    std::unique_ptr<VideoRenderer> createVideoRenderer(void* (*procAddress)(void*, const char*));
    // The same drawn by libmpv's software renderer into memory, for a machine
    // whose OpenGL is itself software.
    std::unique_ptr<VideoRenderer> createSoftwareVideoRenderer();
    // A frame of the picture has been decoded since the renderer was made.
    bool pictureDecoded() const;
    // The picture's width over its height as shown; nothing before a frame is decoded.
    std::optional<double> pictureAspect() const;

public Q_SLOTS:
    // What the player's own control bar asks for, connected straight to its
    // signals: as the operations above, but a failure is told through failed()
    // instead of thrown.
    void requestPlay();
    void requestPause();
    void requestStop();
    void requestPosition(double seconds);
    void requestVolume(int volume);
    void requestMuted(bool muted);

Q_SIGNALS:
    void urlChanged(const QString& url);
    void positionChanged(double seconds);
    void durationChanged(double seconds);
    void pausedChanged(bool paused);
    void rateChanged(double rate);
    void volumeChanged(int volume);
    void mutedChanged(bool muted);
    // The loop was set or ended, by a call or by a seek out of it.
    void loopChanged();
    // Another recording was loaded: whether it has a picture.
    void videoChanged(bool hasVideo);
    // A seek or a start of playback has been carried out and sound flows from the new position.
    void playbackRestarted();
    // No sound device could be opened; playback goes on silently. Emitted at most once.
    void soundDeviceUnavailable();
    // libmpv could not be loaded or started (the player cannot play), or a
    // request made through the slots above failed; `reason` says so to the user.
    void failed(const QString& reason);

private:
    // Runs `operation`, telling its failure through failed().
    template <typename Operation> void reportingFailure(Operation operation);

    class Private;
    // Every operation but url() goes through it: waits, the first time, until
    // libmpv has started (starting it if nobody has yet), and throws when it could not.
    Private& started() const;

    std::unique_ptr<Private> d;
};

} // namespace tavrin
