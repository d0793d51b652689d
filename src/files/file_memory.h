#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavrin {

// What the program remembers between runs of the files it worked with: which
// bytes it last loaded from or saved to each transcript, so that a save never
// replaces what another program wrote without asking, where playback was in
// each recording, and who speaks in it. One small file, written atomically and read afresh each
// time, so that two windows do not undo each other's memory. A damaged or
// unreadable file is taken as empty: only this convenience is lost.
class FileMemory {
public:
    explicit FileMemory(QString path);

    // True when the file at `transcriptPath` holds the bytes last loaded or saved here.
    bool holdsWhatWasLastSeen(const QString& transcriptPath) const;
    // The file at `transcriptPath` now holds the bytes of `digest` (transcriptDigest),
    // loaded or saved here.
    void rememberContent(const QString& transcriptPath, const QByteArray& digest);

    std::optional<qint64> positionMs(const QString& recording) const;
    void rememberPosition(const QString& recording, qint64 positionMs);

    // The speakers named for `recording`; none when it has no list of its own.
    std::optional<QStringList> speakers(const QString& recording) const;
    // The list saved last, for any recording: where a new recording starts.
    QStringList lastSpeakers() const;
    void rememberSpeakers(const QString& recording, const QStringList& names);

    // How many files are remembered at most; the longest unused are forgotten.
    static constexpr int kMostFiles = 1000;

private:
    QString path_;
};

// The digest a transcript's bytes are remembered by.
QByteArray transcriptDigest(QByteArrayView bytes);

} // namespace tavrin
