#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tavrin {

// The recovery journal's file format: what the editor's text was and every
// change since, as records that each carry their own length and checksum, so
// that a record cut short by a crash or a power loss is recognised and dropped
// while everything before it is kept.
//
// A journal starts with a header (magic and version), then records:
//   u32 payload length, u32 CRC-32 of the payload, payload
// A payload is one byte of kind, then for a snapshot the whole text, for an
// edit the position and the number of characters removed (u64 each, in the
// text's UTF-16 units) and the inserted text. Texts are UTF-16 and numbers
// unsigned, both little-endian.

// One change of the text: `removed` characters at `position` replaced by `inserted`.
struct JournalEdit {
    qsizetype position = 0;
    qsizetype removed = 0;
    QString inserted;
};

QByteArray journalHeader();
QByteArray journalSnapshot(QStringView text);
QByteArray journalEdit(const JournalEdit& edit);
// The recording the text belongs to, and where its playback was.
QByteArray journalRecording(QStringView recording, qint64 positionMs);
// The user closed the program: what follows the journal's end was not lost in a crash.
QByteArray journalClosed();

// What a journal holds, read back.
struct ReplayedJournal {
    enum class Ending {
        Complete,    // every record read
        TornTail,    // the last record was cut short or half written: dropped
        Corrupt,     // a damaged record with more after it: the text is as before it
        WrongHeader, // not a journal, or one of another version: nothing read
    };
    QString text;
    Ending ending = Ending::Complete;
    QString recording; // empty when the text belonged to no recording
    qint64 positionMs = 0;
    bool closed = false;     // ended by the user closing the program, not by a crash
    int records = 0;         // records applied
    qsizetype goodBytes = 0; // the journal's length up to the end of the last good record
};

ReplayedJournal replayJournal(QByteArrayView journal);

// The text with one edit applied; an edit reaching past the end is cut at the end.
void applyJournalEdit(QString& text, const JournalEdit& edit);

} // namespace tavrin
