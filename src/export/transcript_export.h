#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <stdexcept>

namespace tavrin {

enum class ExportFormat {
    SubRip,
    WebVtt,
    Word,
    OpenDocument,
    Table,
    PlainText
};

// A transcript that cannot be exported so; what() says why, in Chinese.
class ExportRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The formats by their names on the command line: srt, vtt, docx, odt, csv, txt.
std::optional<ExportFormat> exportFormatNamed(QStringView name);
QString exportFormatName(ExportFormat format);
// What a file dialog calls the format ("SubRip 字幕 (*.srt)").
QString exportFormatFilter(ExportFormat format);

// Where an export goes unless told: beside the transcript, named as it is, with
// the format's extension in place of ".txt" ("会议.mp3.txt" gives "会议.mp3.srt";
// plain text gives "会议.mp3.utf8.txt", so the transcript itself is never replaced).
QString defaultExportPath(const QString& transcriptPath, ExportFormat format);

struct ExportSource {
    QString text;                   // the transcript, its lines '\n' apart
    QString title;                  // the recording's name, at the head of a document
    std::optional<double> duration; // the recording's length in seconds, when known
};

// The export's bytes. Throws ExportRefused when the format needs what the text
// lacks (subtitles need time marks), std::runtime_error when a library fails.
QByteArray exportBytes(ExportFormat format, const ExportSource& source);

} // namespace tavrin
