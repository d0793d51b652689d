// Playback into a sound server for a while, idle or with a waveform computing
// beside it: libmpv's own count of audio underruns, and how far the position
// fell behind the clock (a stalled feed holds the position back).
#include "bench_window.h"
#include "busy_waveform.h"
#include "measure.h"

#include "waveform/waveform_builder.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QTest>

#include <memory>

namespace tavrin::bench {

namespace {

// Counts libmpv's "Audio device underrun detected." warnings, asked for over its IPC socket.
class UnderrunCounter {
public:
    explicit UnderrunCounter(const QString& ipcServer)
    {
        QObject::connect(&socket_, &QLocalSocket::readyRead, &socket_, [this] { readLines(); });
        socket_.connectToServer(ipcServer);
        if (!socket_.waitForConnected(10000))
            qFatal("cannot reach the player's IPC socket");
        socket_.write("{\"command\": [\"request_log_messages\", \"warn\"]}\n");
        socket_.flush();
    }

    int count() const { return count_; }

private:
    void readLines()
    {
        while (socket_.canReadLine()) {
            const QJsonObject message = QJsonDocument::fromJson(socket_.readLine()).object();
            if (message.value(QStringLiteral("event")) == QStringLiteral("log-message")
                && message.value(QStringLiteral("text")).toString().contains(QStringLiteral("underrun")))
                ++count_;
        }
    }

    QLocalSocket socket_;
    int count_ = 0;
};

constexpr int kSampleMs = 100;

MediaPlayer::Options soundServerPlayer(const QString& ipcServer)
{
    MediaPlayer::Options options;
    options.audioOutput = QStringLiteral("pulse");
    options.ipcServer = ipcServer;
    return options;
}

} // namespace

int runDropouts(const QString& recording, int seconds, bool computing)
{
    QTemporaryDir sockets;
    const QString ipcServer = sockets.filePath(QStringLiteral("mpv.sock"));
    BenchWindow window(QString(), soundServerPlayer(ipcServer));
    window.loadRecording(recording);
    // The window's waveform of the recording done first: idle, nothing computes.
    if (!QTest::qWaitFor([&] { return test::WindowProbe::waveforms(*window.window).envelope().isComplete(); }, 60000))
        qFatal("the window's waveform was not done within a minute");
    UnderrunCounter underruns(ipcServer);
    std::unique_ptr<BusyWaveform> busy;
    if (computing)
        busy = std::make_unique<BusyWaveform>(window, recording);

    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    player->setCurrentPosition(600.0);
    millisecondsUntil(player, &MediaPlayer::pausedChanged, [&] { player->play(); });
    settle(1000); // the stream's start on the server, not counted
    const int underrunsBefore = underruns.count();
    // How far the position is behind the clock, sampled all along: the sound
    // server's latency reading jitters by tens of ms, a stall stays as a step.
    const double from = player->currentPosition();
    QElapsedTimer clock;
    clock.start();
    std::vector<double> behind;
    while (clock.elapsed() < seconds * 1000) {
        settle(kSampleMs);
        behind.push_back(clock.nsecsElapsed() / 1e6 - (player->currentPosition() - from) * 1000.0);
    }
    const auto samplesPerSecond = std::ptrdiff_t(1000 / kSampleMs);
    const double atStart = median({behind.begin(), behind.begin() + samplesPerSecond * 2});
    const double atEnd = median({behind.end() - samplesPerSecond * 2, behind.end()});
    settle(200); // the last warnings' way through the socket
    report("underruns", underruns.count() - underrunsBefore, "");
    report("position fallen behind the clock", atEnd - atStart);
    return 0;
}

} // namespace tavrin::bench
