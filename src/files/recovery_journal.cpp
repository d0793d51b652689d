#include "files/recovery_journal.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdint>

namespace tavrin {

namespace {

constexpr char kMagic[4] = {'T', 'V', 'J', 'R'};
constexpr quint32 kVersion = 1;
constexpr qsizetype kHeaderSize = 8;
constexpr qsizetype kRecordHeaderSize = 8;
constexpr char kSnapshot = 'S';
constexpr char kEdit = 'E';
constexpr char kRecording = 'R';
constexpr char kClosed = 'C';

// CRC-32 (IEEE 802.3), the checksum zip and PNG use.
constexpr std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<quint32, 256> kCrcTable = makeCrcTable();

quint32 crc32(QByteArrayView bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char byte : bytes)
        c = kCrcTable[(c ^ quint8(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void appendU32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendU64(QByteArray& out, quint64 value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    out.append(bytes, 8);
}

QByteArray record(const QByteArray& payload)
{
    QByteArray out;
    out.reserve(kRecordHeaderSize + payload.size());
    appendU32(out, quint32(payload.size()));
    appendU32(out, crc32(payload));
    out.append(payload);
    return out;
}

// Texts are kept as the editor holds them, UTF-16 code units: a lone half of a
// surrogate pair, which UTF-8 cannot carry, comes back as it was.
void appendText(QByteArray& out, QStringView text)
{
    for (const QChar c : text) {
        char bytes[2];
        qToLittleEndian(c.unicode(), bytes);
        out.append(bytes, 2);
    }
}

QString fromUtf16(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(bytes.data() + 2 * i));
    return text;
}

// Applies one record's payload; false when it is not one this version writes.
bool applyPayload(ReplayedJournal& replayed, QByteArrayView payload)
{
    if (payload.isEmpty())
        return false;
    QString& text = replayed.text;
    const QByteArrayView body = payload.sliced(1);
    if (payload.front() == kClosed)
        return replayed.closed = true;
    if (payload.front() == kRecording) {
        if (body.size() < 8 || body.size() % 2 != 0)
            return false;
        replayed.positionMs = qint64(qFromLittleEndian<quint64>(body.data()));
        replayed.recording = fromUtf16(body.sliced(8));
        return true;
    }
    replayed.closed = false;
    if (payload.front() == kSnapshot) {
        if (body.size() % 2 != 0)
            return false;
        text = fromUtf16(body);
        return true;
    }
    if (payload.front() != kEdit || body.size() < 16 || body.size() % 2 != 0)
        return false;
    const quint64 position = qFromLittleEndian<quint64>(body.data());
    const quint64 removed = qFromLittleEndian<quint64>(body.data() + 8);
    if (position > quint64(text.size()))
        return false;
    applyJournalEdit(
        text,
        {qsizetype(position), qsizetype(std::min<quint64>(removed, quint64(text.size()))), fromUtf16(body.sliced(16))});
    return true;
}

} // namespace

QByteArray journalHeader()
{
    QByteArray out(kMagic, 4);
    appendU32(out, kVersion);
    return out;
}

QByteArray journalSnapshot(QStringView text)
{
    QByteArray payload(1, kSnapshot);
    appendText(payload, text);
    return record(payload);
}

QByteArray journalEdit(const JournalEdit& edit)
{
    QByteArray payload(1, kEdit);
    appendU64(payload, quint64(edit.position));
    appendU64(payload, quint64(edit.removed));
    appendText(payload, edit.inserted);
    return record(payload);
}

QByteArray journalRecording(QStringView recording, qint64 positionMs)
{
    QByteArray payload(1, kRecording);
    appendU64(payload, quint64(std::max<qint64>(positionMs, 0)));
    appendText(payload, recording);
    return record(payload);
}

QByteArray journalClosed()
{
    return record(QByteArray(1, kClosed));
}

void applyJournalEdit(QString& text, const JournalEdit& edit)
{
    const qsizetype position = std::clamp<qsizetype>(edit.position, 0, text.size());
    const qsizetype removed = std::clamp<qsizetype>(edit.removed, 0, text.size() - position);
    text.replace(position, removed, edit.inserted);
}

ReplayedJournal replayJournal(QByteArrayView journal)
{
    ReplayedJournal replayed;
    if (journal.size() < kHeaderSize || journal.first(kHeaderSize) != QByteArrayView(journalHeader())) {
        replayed.ending = ReplayedJournal::Ending::WrongHeader;
        return replayed;
    }
    qsizetype at = kHeaderSize;
    replayed.goodBytes = at;
    while (at < journal.size()) {
        const qsizetype left = journal.size() - at;
        if (left < kRecordHeaderSize) {
            replayed.ending = ReplayedJournal::Ending::TornTail;
            break;
        }
        const quint32 length = qFromLittleEndian<quint32>(journal.data() + at);
        const quint32 checksum = qFromLittleEndian<quint32>(journal.data() + at + 4);
        if (qsizetype(length) > left - kRecordHeaderSize) {
            replayed.ending = ReplayedJournal::Ending::TornTail; // written only in part
            break;
        }
        const QByteArrayView payload = journal.sliced(at + kRecordHeaderSize, length);
        const qsizetype next = at + kRecordHeaderSize + length;
        if (crc32(payload) != checksum || !applyPayload(replayed, payload)) {
            // The last record half written is a torn tail; one with more after it was damaged.
            replayed.ending =
                next == journal.size() ? ReplayedJournal::Ending::TornTail : ReplayedJournal::Ending::Corrupt;
            break;
        }
        ++replayed.records;
        at = next;
        replayed.goodBytes = at;
    }
    return replayed;
}

} // namespace tavrin
