#include "files/recovery_journal.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

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

// CRC-32 (IEEE 802.3), the checksum zip and PNG use, eight bytes at a step
// ("slicing by 8"): a snapshot of a long text is checked at memory speed.
using CrcTables = std::array<std::array<quint32, 256>, 8>;

constexpr CrcTables makeCrcTables()
{
    CrcTables tables{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (quint32 n = 0; n < 256; ++n) {
        for (size_t k = 1; k < tables.size(); ++k)
            tables[k][n] = (tables[k - 1][n] >> 8) ^ tables[0][tables[k - 1][n] & 0xFF];
    }
    return tables;
}

constexpr CrcTables kCrcTables = makeCrcTables();

quint32 crc32(QByteArrayView bytes)
{
    const auto& t = kCrcTables;
    quint32 c = 0xFFFFFFFFu;
    const uchar* p = reinterpret_cast<const uchar*>(bytes.data());
    qsizetype left = bytes.size();
    for (; left >= 8; left -= 8, p += 8) {
        const quint32 low = qFromLittleEndian<quint32>(p) ^ c;
        const quint32 high = qFromLittleEndian<quint32>(p + 4);
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^ t[3][high & 0xFF]
            ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; left > 0; --left, ++p)
        c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
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
    if (text.isEmpty())
        return; // an empty view may hold no pointer, which copying may not be given
    const qsizetype at = out.size();
    out.resize(at + 2 * text.size());
    qToLittleEndian<quint16>(text.utf16(), text.size(), out.data() + at);
}

QString fromUtf16(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    if (!text.isEmpty())
        qFromLittleEndian<quint16>(bytes.data(), text.size(), text.data());
    return text;
}

// The text while edits are replayed onto it, with a gap at the last edit: a
// run of typing moves only what lies between one edit and the next, where
// replacing in a string moves the whole rest of the text at every edit.
class GapText {
public:
    void assign(QByteArrayView utf16)
    {
        units_.resize(utf16.size() / 2);
        if (!units_.empty())
            qFromLittleEndian<quint16>(utf16.data(), qsizetype(units_.size()), units_.data());
        gapStart_ = gapEnd_ = qsizetype(units_.size());
    }

    qsizetype size() const { return qsizetype(units_.size()) - (gapEnd_ - gapStart_); }

    // `inserted`: UTF-16, little-endian. `position` and `removed` are within the text.
    void replace(qsizetype position, qsizetype removed, QByteArrayView inserted)
    {
        moveGapTo(position);
        gapEnd_ += removed;
        const qsizetype added = inserted.size() / 2;
        if (gapEnd_ - gapStart_ < added)
            widenGap(added);
        if (added > 0)
            qFromLittleEndian<quint16>(inserted.data(), added, units_.data() + gapStart_);
        gapStart_ += added;
    }

    QString text() const
    {
        if (size() == 0)
            return {};
        QString text(size(), Qt::Uninitialized);
        char16_t* out = reinterpret_cast<char16_t*>(text.data());
        std::copy(units_.begin(), units_.begin() + gapStart_, out);
        std::copy(units_.begin() + gapEnd_, units_.end(), out + gapStart_);
        return text;
    }

private:
    void moveGapTo(qsizetype position)
    {
        char16_t* units = units_.data();
        if (position < gapStart_) {
            const qsizetype moved = gapStart_ - position;
            std::memmove(units + gapEnd_ - moved, units + position, size_t(moved) * 2);
            gapEnd_ -= moved;
        } else if (position > gapStart_) {
            const qsizetype moved = position - gapStart_;
            std::memmove(units + gapStart_, units + gapEnd_, size_t(moved) * 2);
            gapEnd_ += moved;
        }
        gapStart_ = position;
    }

    void widenGap(qsizetype needed)
    {
        const qsizetype after = qsizetype(units_.size()) - gapEnd_;
        const qsizetype gap = std::max(needed, size() / 4 + 4096);
        units_.resize(size_t(gapStart_ + gap + after));
        std::memmove(units_.data() + gapStart_ + gap, units_.data() + gapEnd_, size_t(after) * 2);
        gapEnd_ = gapStart_ + gap;
    }

    std::vector<char16_t> units_;
    qsizetype gapStart_ = 0;
    qsizetype gapEnd_ = 0;
};

// Applies one record's payload; false when it is not one this version writes.
bool applyPayload(ReplayedJournal& replayed, GapText& text, QByteArrayView payload)
{
    if (payload.isEmpty())
        return false;
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
        text.assign(body);
        return true;
    }
    if (payload.front() != kEdit || body.size() < 16 || body.size() % 2 != 0)
        return false;
    const quint64 position = qFromLittleEndian<quint64>(body.data());
    const quint64 removed = qFromLittleEndian<quint64>(body.data() + 8);
    if (position > quint64(text.size()))
        return false;
    // An edit reaching past the end is cut at the end.
    text.replace(qsizetype(position), qsizetype(std::min<quint64>(removed, quint64(text.size()) - position)),
                 body.sliced(16));
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
    GapText text;
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
        if (crc32(payload) != checksum || !applyPayload(replayed, text, payload)) {
            // The last record half written is a torn tail; one with more after it was damaged.
            replayed.ending =
                next == journal.size() ? ReplayedJournal::Ending::TornTail : ReplayedJournal::Ending::Corrupt;
            break;
        }
        ++replayed.records;
        at = next;
        replayed.goodBytes = at;
    }
    replayed.text = text.text();
    return replayed;
}

} // namespace tavrin
