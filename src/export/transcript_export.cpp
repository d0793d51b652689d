#include "export/transcript_export.h"

#include "export/open_document.h"
#include "export/timed_writers.h"
#include "export/transcript_parts.h"
#include "export/word_document.h"

#include <QFileInfo>

namespace tavrin {

namespace {

struct FormatEntry {
    ExportFormat format;
    QStringView name;
    QStringView extension;
    QStringView filter;
};

constexpr FormatEntry kFormats[] = {
    {ExportFormat::SubRip, u"srt", u".srt", u"SubRip 字幕 (*.srt)"},
    {ExportFormat::WebVtt, u"vtt", u".vtt", u"WebVTT 字幕 (*.vtt)"},
    {ExportFormat::Word, u"docx", u".docx", u"Word 文档 (*.docx)"},
    {ExportFormat::OpenDocument, u"odt", u".odt", u"OpenDocument 文档 (*.odt)"},
    {ExportFormat::Table, u"csv", u".csv", u"表格 CSV，UTF-8 (*.csv)"},
    {ExportFormat::PlainText, u"txt", u".utf8.txt", u"UTF-8 纯文本 (*.txt)"},
};

const FormatEntry& entryOf(ExportFormat format)
{
    for (const FormatEntry& entry : kFormats) {
        if (entry.format == format)
            return entry;
    }
    return kFormats[0];
}

std::vector<Cue> timedCues(const ExportSource& source)
{
    std::vector<Cue> cues = exportCues(source.text, source.duration);
    if (cues.empty())
        throw ExportRefused("这份文稿里没有时间标记（形如 -00:12:34-）。字幕和表格的每一条都从一个时间标记开始，"
                            "请先用F8在每段开头标注时间，再导出。");
    return cues;
}

std::vector<Cue> subtitles(const ExportSource& source)
{
    std::vector<Cue> cues = subtitleCues(timedCues(source));
    if (cues.empty())
        throw ExportRefused("这份文稿的时间标记后面都没有文字，没有可以导出的字幕。");
    return cues;
}

} // namespace

std::optional<ExportFormat> exportFormatNamed(QStringView name)
{
    for (const FormatEntry& entry : kFormats) {
        if (name.compare(entry.name, Qt::CaseInsensitive) == 0)
            return entry.format;
    }
    return std::nullopt;
}

QString exportFormatName(ExportFormat format)
{
    return entryOf(format).name.toString();
}

QString exportFormatFilter(ExportFormat format)
{
    return entryOf(format).filter.toString();
}

QString defaultExportPath(const QString& transcriptPath, ExportFormat format)
{
    QString base = transcriptPath;
    if (base.endsWith(u".txt", Qt::CaseInsensitive))
        base.chop(4);
    return base + entryOf(format).extension.toString();
}

QByteArray exportBytes(ExportFormat format, const ExportSource& source)
{
    switch (format) {
    case ExportFormat::SubRip:
        return subRipBytes(subtitles(source));
    case ExportFormat::WebVtt:
        return webVttBytes(subtitles(source));
    case ExportFormat::Table:
        return cueTableBytes(timedCues(source));
    case ExportFormat::Word:
        return wordDocumentBytes(source.title, exportParagraphs(source.text));
    case ExportFormat::OpenDocument:
        return openDocumentBytes(source.title, exportParagraphs(source.text));
    case ExportFormat::PlainText:
        break;
    }
    return plainTextBytes(source.text);
}

} // namespace tavrin
