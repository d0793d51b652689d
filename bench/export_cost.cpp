// Exporting a 20 MB transcript, every paragraph marked and spoken by one of
// two speakers, to each format, beside saving the same text as GBK: each from
// the editor's text to the file written.
#include "measure.h"

#include "export/transcript_export.h"
#include "files/atomic_file.h"
#include "files/transcript_codec.h"
#include "transcript/time_text.h"

#include <QFile>
#include <QTemporaryDir>

namespace tavrin::bench {

namespace {

QString markedAndSpoken(const QString& text)
{
    QString marked;
    marked.reserve(text.size() + text.size() / 4);
    int paragraph = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        marked += u'-' + displayTimeText(playerTimeText(paragraph * 3)) + u'-'
            + (paragraph % 2 ? QStringLiteral(" 李四：") : QStringLiteral(" 张三：")) + line.toString() + u'\n';
        ++paragraph;
    }
    return marked;
}

} // namespace

int runExportCost(const QString& transcript, int repetitions)
{
    QFile file(transcript);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(transcript));
    const ExportSource source{markedAndSpoken(decodeTranscript(file.readAll()).text), QStringLiteral("录音.mp3"),
                              std::nullopt};
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("saved.txt"));
    std::vector<double> saves;
    for (int i = 0; i < repetitions; ++i)
        saves.push_back(millisecondsOf([&] { writeFileAtomically(saved, encodeTranscript(source.text)); }));
    report("save as GBK median", median(saves));
    for (const ExportFormat format : {ExportFormat::SubRip, ExportFormat::WebVtt, ExportFormat::Word,
                                      ExportFormat::OpenDocument, ExportFormat::Table, ExportFormat::PlainText}) {
        const QString path = folder.filePath(QStringLiteral("export.") + exportFormatName(format));
        std::vector<double> times;
        for (int i = 0; i < repetitions; ++i)
            times.push_back(millisecondsOf([&] { writeFileAtomically(path, exportBytes(format, source)); }));
        report(("export " + exportFormatName(format).toStdString() + " median").c_str(), median(times));
    }
    return 0;
}

} // namespace tavrin::bench
