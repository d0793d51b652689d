#include "support/sound_server.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

namespace tavrin::test {

namespace {

constexpr int kStartMs = 15000;

bool accepting(const QString& server)
{
    QProcess info;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), server);
    info.setProcessEnvironment(environment);
    info.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return info.waitForFinished(kStartMs) && info.exitStatus() == QProcess::NormalExit && info.exitCode() == 0;
}

} // namespace

SoundServer::SoundServer()
{
    const QString socket = folder_.filePath(QStringLiteral("native"));
    const QString script = folder_.filePath(QStringLiteral("server.pa"));
    QFile out(script);
    if (!out.open(QIODevice::WriteOnly)) {
        problem_ = QStringLiteral("cannot write %1").arg(script);
        return;
    }
    out.write(QStringLiteral("load-module module-native-protocol-unix auth-anonymous=1 socket=%1\n"
                             "load-module module-null-sink sink_name=tavrin_test rate=48000 channels=2\n"
                             "set-default-sink tavrin_test\n")
                  .arg(socket)
                  .toUtf8());
    out.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH"})
        environment.insert(QString::fromLatin1(name), folder_.path());
    server_.setProcessEnvironment(environment);
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start(QStringLiteral("pulseaudio"),
                  {QStringLiteral("-n"), QStringLiteral("-F"), script, QStringLiteral("--daemonize=no"),
                   QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                   QStringLiteral("--log-level=error")});
    if (!server_.waitForStarted(kStartMs)) {
        problem_ = QStringLiteral("pulseaudio did not start (package pulseaudio): %1").arg(server_.errorString());
        return;
    }
    const QString address = QStringLiteral("unix:") + socket;
    const QDeadlineTimer deadline(kStartMs);
    while (!accepting(address)) {
        if (deadline.hasExpired() || server_.state() != QProcess::Running) {
            problem_ = QStringLiteral("pulseaudio does not answer on %1").arg(address);
            return;
        }
        QThread::msleep(50); // polling the server's socket, bounded by the deadline
    }
    qputenv("PULSE_SERVER", address.toUtf8());
}

SoundServer::~SoundServer()
{
    qunsetenv("PULSE_SERVER");
    server_.terminate();
    if (!server_.waitForFinished(kStartMs))
        server_.kill();
    server_.waitForFinished(kStartMs);
}

} // namespace tavrin::test
