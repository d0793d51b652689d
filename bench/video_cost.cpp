// A 720p H.264 recording played with its picture in the view the program
// would draw it in, on the real (virtual) display: the program's CPU time over
// the playing time, and libmpv's own counts of frames dropped, at 1.0 and at 2.0.
#include "measure.h"

#include "player/media_player.h"
#include "video/picture_view.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

namespace tavrin::bench {

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One property read over libmpv's IPC socket.
double ipcProperty(const QString& server, const char* name)
{
    QLocalSocket socket;
    socket.connectToServer(server);
    if (!socket.waitForConnected(10000))
        qFatal("cannot reach the player's IPC socket");
    socket.write(QByteArray("{\"command\": [\"get_property\", \"") + name + "\"], \"request_id\": 1}\n");
    socket.flush();
    while (socket.waitForReadyRead(10000)) {
        while (socket.canReadLine()) {
            const QJsonObject reply = QJsonDocument::fromJson(socket.readLine()).object();
            if (reply.value(QStringLiteral("request_id")).toInt() == 1)
                return reply.value(QStringLiteral("data")).toDouble(NAN);
        }
    }
    return NAN;
}

// The share of one core the program used while playing `seconds` at `rate`.
double playFor(MediaPlayer& player, double rate, int seconds)
{
    player.setRate(rate);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    settle(seconds * 1000);
    return 100.0 * (cpuSeconds() - cpuBefore) / (clock.nsecsElapsed() / 1e9);
}

} // namespace

int runVideoCost(const QString& recording, int seconds)
{
    QTemporaryDir sockets;
    MediaPlayer::Options options;
    options.audioOutput = QStringLiteral("null");
    options.ipcServer = sockets.filePath(QStringLiteral("mpv.sock"));
    MediaPlayer player(options);
    player.setUrl(recording);
    // The view the program itself would draw in on this machine.
    const std::unique_ptr<PictureView> view(createPictureView(player));
    view->window()->resize(1280, 720);
    view->window()->show();
    if (!QTest::qWaitFor([&] { return view->isDrawing(); }, 30000))
        qFatal("the view did not draw");
    player.play();
    settle(1000); // the decoder and the output under way, not counted
    report("video CPU at 1.0", playFor(player, 1.0, seconds), "%");
    report("frames dropped at 1.0", ipcProperty(options.ipcServer, "frame-drop-count"), "");
    report("decoder frames dropped at 1.0", ipcProperty(options.ipcServer, "decoder-frame-drop-count"), "");
    // The counts may start afresh with the seek: read once it has been made.
    QSignalSpy restarted(&player, &MediaPlayer::playbackRestarted);
    player.setCurrentPosition(0.0);
    if (!restarted.wait(10000))
        qFatal("the player did not go back to the start");
    const double dropped = ipcProperty(options.ipcServer, "frame-drop-count");
    const double decoderDropped = ipcProperty(options.ipcServer, "decoder-frame-drop-count");
    report("video CPU at 2.0", playFor(player, 2.0, seconds / 2), "%");
    // Those of the second half alone, as mpv's own run at 2.0 counts them.
    report("frames dropped at 2.0", ipcProperty(options.ipcServer, "frame-drop-count") - dropped, "");
    report("decoder frames dropped at 2.0", ipcProperty(options.ipcServer, "decoder-frame-drop-count") - decoderDropped,
           "");
    return 0;
}

} // namespace tavrin::bench
