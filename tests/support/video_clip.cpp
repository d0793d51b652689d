#include "support/video_clip.h"

#include <QProcess>

namespace tavrin::test {

void writeColourBlocks(const QString& path, Picture picture)
{
    QStringList arguments{QStringLiteral("-v"),
                          QStringLiteral("error"),
                          QStringLiteral("-y"),
                          QStringLiteral("-f"),
                          QStringLiteral("lavfi"),
                          QStringLiteral("-i"),
                          QStringLiteral("color=c=red:s=320x240:d=5,format=yuv420p"),
                          QStringLiteral("-f"),
                          QStringLiteral("lavfi"),
                          QStringLiteral("-i"),
                          QStringLiteral("color=c=blue:s=320x240:d=5,format=yuv420p"),
                          QStringLiteral("-f"),
                          QStringLiteral("lavfi"),
                          QStringLiteral("-i"),
                          QStringLiteral("sine=f=440:d=10"),
                          QStringLiteral("-filter_complex"),
                          QStringLiteral("[0][1]concat=n=2:v=1:a=0[v]"),
                          QStringLiteral("-map"),
                          QStringLiteral("[v]"),
                          QStringLiteral("-map"),
                          QStringLiteral("2"),
                          QStringLiteral("-c:v"),
                          QStringLiteral("libx264"),
                          QStringLiteral("-preset"),
                          QStringLiteral("ultrafast"),
                          QStringLiteral("-c:a"),
                          QStringLiteral("aac")};
    if (picture == Picture::Broken)
        arguments << QStringLiteral("-bsf:v") << QStringLiteral("noise=amount=1");
    arguments << path;
    if (QProcess::execute(QStringLiteral("ffmpeg"), arguments) != 0)
        qFatal("ffmpeg could not write the video");
}

} // namespace tavrin::test
