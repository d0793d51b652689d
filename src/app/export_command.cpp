#include "app/export_command.h"

#include "app/command_line.h"
#include "desktop/app_texts.h"
#include "export/transcript_export.h"
#include "files/atomic_file.h"
#include "files/path_bytes.h"
#include "files/transcript_codec.h"
#include "files/transcript_file.h"
#include "media/audio_input.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

void tell(const QString& text)
{
    std::fprintf(stderr, "tavrin: %s\n", text.toLocal8Bit().constData());
}

int refuse(const QString& problem)
{
    tell(problem);
    return 1;
}

// The transcript's recording lies beside it, named as the transcript less ".txt".
QString recordingOf(const QString& transcriptPath)
{
    return transcriptPath.endsWith(u".txt"_s, Qt::CaseInsensitive) ? transcriptPath.chopped(4) : QString();
}

std::optional<double> recordingLength(const QString& recording)
{
    if (recording.isEmpty() || !isRegularFile(recording))
        return std::nullopt;
    const std::atomic<bool> goOn{false};
    const std::optional<AudioInput> input = AudioInput::open(recording, goOn);
    if (!input || input->durationSeconds <= 0)
        return std::nullopt;
    return input->durationSeconds;
}

// The transcript's bytes, read as the window reads one; nothing (and said why) when it
// cannot be.
std::optional<QByteArray> readTranscript(const QString& path)
{
    using Kind = TranscriptUnreadable::Kind;
    try {
        return readTranscriptBytes(path);
    } catch (const TranscriptUnreadable& unreadable) {
        if (unreadable.kind == Kind::TooLarge)
            tell(u"文稿 %1 超过 %2 MiB，无法导出；编辑器也只打开这么大的文稿。"_s.arg(path).arg(kEditorCapacityBytes
                                                                                                / (1024 * 1024)));
        else if (unreadable.kind == Kind::NotRegular)
            tell(u"无法读取文稿 %1：它不是普通文件（而是设备、管道或套接字之类）。"_s.arg(path));
        else
            tell(u"无法读取文稿 %1：%2"_s.arg(path, qt_error_string(unreadable.error)));
    }
    return std::nullopt;
}

// Tells, as the window does on loading, what of the text may not be what was written.
void warnAboutReading(const DecodedTranscript& decoded)
{
    if (decoded.unreadableBytes > 0)
        tell(u"警告："_s + texts::kUnreadableBytes.toString().arg(decoded.unreadableBytes)
             + u"导出的文件中这些位置也是“\uFFFD”，请先核对原文件。"_s);
    if (decoded.readableAsUtf8Too)
        tell(u"警告：文稿已按 GBK 读取，但它也是有效的 UTF-8（如按 UTF-8 保存的“café”），其中的非英文字符可能读错了。"
             "如果它是 UTF-8 文稿，请在文件开头加上 UTF-8 的 BOM 再导出，并核对导出的文件。"_s);
}

// Refuses an output the export must not write: a link it may not follow, the transcript
// itself (through a link, a linked folder or a second hard link too), or an existing
// file without --force.
std::optional<QString> outputProblem(const CommandLine& line, LinkRule links)
{
    try {
        resolveWriteTarget(line.output, links);
    } catch (const LinkRefused& refused) {
        const QString advice =
            line.outputGiven ? u"没有导出。"_s : u"没有导出。要写到别处，请在命令行上给出输出文件。"_s;
        return QString::fromUtf8(refused.what()) + advice;
    } catch (const std::exception&) {
        // A folder that is not there and the like: the write tells it.
    }
    if (isSameFile(line.output, line.transcript))
        return u"输出文件就是文稿本身：%1。请换一个输出文件名。"_s.arg(line.output);
    if (nameIsTaken(line.output) && !line.force)
        return u"输出文件已存在：%1。要替换它，请加上 --force。"_s.arg(line.output);
    return std::nullopt;
}

} // namespace

int runExportCommand(const CommandLine& line)
{
    const std::optional<QByteArray> bytes = readTranscript(line.transcript);
    if (!bytes)
        return 1;
    // Only an output the user named may be reached through a link; the default name
    // beside the transcript is the program's.
    const LinkRule links = line.outputGiven ? LinkRule::FollowNamed : LinkRule::FollowNone;
    if (const std::optional<QString> problem = outputProblem(line, links))
        return refuse(*problem);
    const DecodedTranscript decoded = decodeTranscript(*bytes);
    warnAboutReading(decoded);
    const QString recording = recordingOf(line.transcript);
    const ExportSource source{decoded.text, displayName(recording.isEmpty() ? line.transcript : recording),
                              recordingLength(recording)};
    try {
        writeFileAtomically(line.output, exportBytes(line.exportFormat, source), links);
    } catch (const ExportRefused& refused) {
        return refuse(QString::fromUtf8(refused.what()));
    } catch (const std::exception& failure) {
        return refuse(u"导出失败：%1"_s.arg(QString::fromUtf8(failure.what())));
    }
    return 0;
}

} // namespace tavrin
