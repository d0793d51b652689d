#include "recordings.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace tavrin::test {

namespace {

bool runFfmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                             QStringLiteral("-y")}
                     + arguments);
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        qWarning("ffmpeg %s failed: %s", qPrintable(arguments.join(u' ')), ffmpeg.readAllStandardError().constData());
        return false;
    }
    return true;
}

QString toneExpression()
{
    return QStringLiteral("gte(t\\,%1)*lt(t\\,%2)*0.5*sin(2*PI*1000*t)").arg(kToneStart).arg(kToneEnd);
}

} // namespace

QString writeToneRecording(const QString& folder, int rate, int channels, const Encoding& encoding, bool withVideo)
{
    const QString name = QStringLiteral("tone-%1-%2ch%3%4")
                             .arg(rate)
                             .arg(channels)
                             .arg(withVideo ? QStringLiteral("-video") : QString(), encoding.suffix);
    const QString path = QDir(folder).filePath(name);
    const QString expressions = channels == 2 ? toneExpression() + QStringLiteral("|0") : toneExpression();
    QStringList arguments;
    if (withVideo) {
        arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                  << QStringLiteral("color=c=black:s=64x64:r=5:d=%1").arg(kToneLength);
    }
    arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
              << QStringLiteral("aevalsrc=%1:s=%2:d=%3").arg(expressions).arg(rate).arg(kToneLength);
    if (withVideo)
        arguments << QStringLiteral("-c:v") << QStringLiteral("mpeg4");
    arguments << encoding.options << path;
    return runFfmpeg(arguments) ? path : QString();
}

QString writeLongSilence(const QString& folder, int minutes)
{
    const QString minute = QDir(folder).filePath(QStringLiteral("minute.mp3"));
    if (!runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                    QStringLiteral("anullsrc=r=8000:cl=mono:d=60"), QStringLiteral("-c:a"),
                    QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("8k"),
                    QStringLiteral("-write_xing"), QStringLiteral("0"), QStringLiteral("-id3v2_version"),
                    QStringLiteral("0"), minute}))
        return {};
    QFile in(minute);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QByteArray frames = in.readAll();
    const QString path = QDir(folder).filePath(QStringLiteral("long-silence-%1.mp3").arg(minutes));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < minutes; ++i)
        out.write(frames);
    return path;
}

} // namespace tavrin::test
