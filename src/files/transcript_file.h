#pragma once

#include "files/atomic_file.h"
#include "files/transcript_codec.h"

#include <QString>
#include <QStringView>

#include <stdexcept>
#include <string>

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
// The transcript's name is derived, not chosen: a link there is followed only when it and
// its file are the user's own (LinkRule::FollowOwn), else LinkRefused is thrown.
// `faults` lets tests make the write fail as a full disk would. Returns the bytes written.
QByteArray saveTranscript(const QString& recordingPath, QStringView editorText,
                          const FileWriteFaults* faults = nullptr);

// Why a transcript could not be read; what() says it as the window shows it:
// `Cannot open file "<path>". <reason>`, or `Text exceeds memo capacity`.
class TranscriptUnreadable : public std::runtime_error {
public:
    enum class Kind {
        CannotOpen, // `error` is the errno
        NotRegular, // a device, a pipe, a socket: no text file
        TooLarge,   // over the capacity
    };
    TranscriptUnreadable(Kind why, int errorCode, const std::string& message)
        : std::runtime_error(message)
        , kind(why)
        , error(errorCode)
    {
    }
    Kind kind;
    int error;
};

// The whole of a text file's bytes. Only a regular file is read (never a device, whose
// reading has no end, nor a pipe, which may never give one), and nothing of it when its
// size tells it is larger than capacityBytes; a file that grows past it while read is
// refused too. Throws TranscriptUnreadable.
QByteArray readTranscriptBytes(const QString& path, qint64 capacityBytes = kEditorCapacityBytes);

// Reads (as readTranscriptBytes) and decodes a whole text file.
LoadedTranscript loadTranscript(const QString& path, qint64 capacityBytes = kEditorCapacityBytes);

} // namespace tavrin
