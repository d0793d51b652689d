#pragma once

#include "files/atomic_file.h"
#include "files/transcript_codec.h"

#include <QString>
#include <QStringView>

namespace tavrin {

// The largest transcript file the editor is asked to hold.
inline constexpr qint64 kEditorCapacityBytes = 256 * 1024 * 1024;

// Where a recording's transcript lives: its full path with ".txt" appended
// (a.mp3 -> a.mp3.txt), kept exactly as the file system names it.
QString transcriptPathFor(const QString& recordingPath);

struct LoadedTranscript : DecodedTranscript {
    QByteArray digest; // of the file's bytes, as transcriptDigest() gives it
};

// Writes the editor's text beside the recording, replacing any earlier transcript as a
// whole or not at all. Throws std::runtime_error on any failure, also when no recording
// is loaded (an empty path), so nothing lands in whatever the working folder happens to be.
// `faults` lets tests make the write fail as a full disk would. Returns the bytes written.
QByteArray saveTranscript(const QString& recordingPath, QStringView editorText,
                          const FileWriteFaults* faults = nullptr);

// Reads and decodes a whole text file. Throws std::runtime_error with
// `Cannot open file "<path>". <system reason>` when it cannot be opened or read (a folder
// included), and `Text exceeds memo capacity` when it is larger than capacityBytes,
// found out before any of it is read.
LoadedTranscript loadTranscript(const QString& path, qint64 capacityBytes = kEditorCapacityBytes);

} // namespace tavrin
