#include "app/export_command.h"

#include "app/command_line.h"
#include "export/transcript_export.h"
#include "files/atomic_file.h"
#include "files/transcript_codec.h"
#include "media/audio_input.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

int refuse(const QString& problem)
{
    std::fprintf(stderr, "tavrin: %s\n", problem.toLocal8Bit().constData());
    return 1;
}

// The transcript's recording lies beside it, named as the transcript less ".txt".
QString recordingOf(const QString& transcriptPath)
{
    return transcriptPath.endsWith(u".txt"_s, Qt::CaseInsensitive) ? transcriptPath.chopped(4) : QString();
}

std::optional<double> recordingLength(const QString& recording)
{
    if (recording.isEmpty() || !QFileInfo(recording).isFile())
        return std::nullopt;
    const std::atomic<bool> goOn{false};
    const std::optional<AudioInput> input = AudioInput::open(recording, goOn);
    if (!input || input->durationSeconds <= 0)
        return std::nullopt;
    return input->durationSeconds;
}

} // namespace

int runExportCommand(const CommandLine& line)
{
    QFile transcript(line.transcript);
    if (!transcript.open(QIODevice::ReadOnly))
        return refuse(u"无法读取文稿 %1：%2"_s.arg(line.transcript, transcript.errorString()));
    const QByteArray bytes = transcript.readAll();
    if (QFileInfo(line.output).absoluteFilePath() == QFileInfo(line.transcript).absoluteFilePath())
        return refuse(u"输出文件就是文稿本身：%1。请换一个输出文件名。"_s.arg(line.output));
    if (QFileInfo::exists(line.output) && !line.force)
        return refuse(u"输出文件已存在：%1。要替换它，请加上 --force。"_s.arg(line.output));
    const QString recording = recordingOf(line.transcript);
    const ExportSource source{decodeTranscript(bytes).text,
                              QFileInfo(recording.isEmpty() ? line.transcript : recording).fileName(),
                              recordingLength(recording)};
    try {
        writeFileAtomically(line.output, exportBytes(line.exportFormat, source));
    } catch (const ExportRefused& refused) {
        return refuse(QString::fromUtf8(refused.what()));
    } catch (const std::exception& failure) {
        return refuse(u"导出失败：%1"_s.arg(QString::fromUtf8(failure.what())));
    }
    return 0;
}

} // namespace tavrin
