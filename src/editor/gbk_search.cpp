#include "editor/gbk_search.h"

#include "encoding/gbk_codec.h"

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

constexpr qsizetype kBlockBytes = 1024;

// After this many occurrences inside characters, find switches from repeated memmem
// calls (each of which starts over on the needle) to one scan that never steps back,
// so a needle that recurs inside a long run of characters cannot make it quadratic.
constexpr int kMisalignedHitsBeforeScan = 16;

struct CharacterShape {
    int bytes = 1;
    int units = 1;
};

bool inRange(unsigned char byte, unsigned char low, unsigned char high)
{
    return byte >= low && byte <= high;
}

CharacterShape characterAt(const QByteArray& text, qsizetype pos)
{
    const auto* data = reinterpret_cast<const unsigned char*>(text.constData()) + pos;
    const qsizetype left = text.size() - pos;
    if (!inRange(data[0], 0x81, 0xFE) || left < 2)
        return {};
    if (inRange(data[1], 0x40, 0xFE) && data[1] != 0x7F)
        return {2, doubleByteCharacterUnits(data[0], data[1])};
    if (inRange(data[1], 0x30, 0x39) && left >= 4 && inRange(data[2], 0x81, 0xFE) && inRange(data[3], 0x30, 0x39))
        return {4, inRange(data[0], 0x90, 0xE3) ? 2 : 1};
    return {};
}

} // namespace

GbkText::GbkText(QByteArray gbkBytes) : bytes_(std::move(gbkBytes))
{
    checkpoints_.reserve(size_t(bytes_.size() / kBlockBytes) + 2);
    checkpoints_.push_back({0, 0});
    qsizetype byte = 0;
    qsizetype unit = 0;
    qsizetype nextBlock = kBlockBytes;
    while (byte < bytes_.size()) {
        const CharacterShape shape = characterAt(bytes_, byte);
        byte += shape.bytes;
        unit += shape.units;
        if (byte >= nextBlock && byte < bytes_.size()) {
            checkpoints_.push_back({byte, unit});
            nextBlock = (byte / kBlockBytes + 1) * kBlockBytes;
        }
    }
    unitCount_ = unit;
}

qsizetype GbkText::byteOffsetOf(qsizetype charPos) const
{
    if (charPos <= 0)
        return 0;
    if (charPos >= unitCount_)
        return bytes_.size();
    auto next = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), charPos,
                                 [](qsizetype unit, const Checkpoint& c) { return unit < c.unit; });
    Checkpoint at = *std::prev(next);
    while (at.unit < charPos) {
        const CharacterShape shape = characterAt(bytes_, at.byte);
        at.byte += shape.bytes;
        at.unit += shape.units;
    }
    return at.byte;
}

qsizetype GbkText::charPosOf(qsizetype byteOffset) const
{
    if (byteOffset <= 0)
        return 0;
    if (byteOffset >= bytes_.size())
        return unitCount_;
    Checkpoint at = checkpointAtOrBeforeByte(byteOffset);
    while (at.byte < byteOffset) {
        const CharacterShape shape = characterAt(bytes_, at.byte);
        at.byte += shape.bytes;
        at.unit += shape.units;
    }
    return at.unit;
}

GbkText::Checkpoint GbkText::checkpointAtOrBeforeByte(qsizetype byte) const
{
    auto next = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), byte,
                                 [](qsizetype b, const Checkpoint& c) { return b < c.byte; });
    return *std::prev(next);
}

// The first character boundary at or after `byte`; `knownBoundary` is one at or before
// it, and the walk starts from it or from the block of `byte`, whichever is nearer.
qsizetype GbkText::boundaryAtOrAfter(qsizetype knownBoundary, qsizetype byte) const
{
    qsizetype at = std::max(knownBoundary, checkpointAtOrBeforeByte(byte).byte);
    while (at < byte)
        at += characterAt(bytes_, at).bytes;
    return at;
}

qsizetype GbkText::find(QByteArrayView needle, qsizetype fromByte) const
{
    if (needle.isEmpty() || fromByte > bytes_.size())
        return -1;
    qsizetype boundary = boundaryAtOrAfter(0, std::max<qsizetype>(fromByte, 0));
    for (int misaligned = 0; misaligned < kMisalignedHitsBeforeScan; ++misaligned) {
        const void* hit = memmem(bytes_.constData() + boundary, size_t(bytes_.size() - boundary),
                                 needle.data(), size_t(needle.size()));
        if (!hit)
            return -1;
        const qsizetype at = static_cast<const char*>(hit) - bytes_.constData();
        boundary = boundaryAtOrAfter(boundary, at);
        if (boundary == at)
            return at;
    }
    return findByScanning(needle, boundary, boundary);
}

// Knuth-Morris-Pratt from `from` on: every occurrence is met once, in order, and the
// boundary walk only ever moves forward, so the whole scan stays linear.
qsizetype GbkText::findByScanning(QByteArrayView needle, qsizetype from, qsizetype knownBoundary) const
{
    std::vector<qsizetype> fallback(size_t(needle.size()), 0);
    for (qsizetype i = 1, k = 0; i < needle.size(); ++i) {
        while (k > 0 && needle[i] != needle[k])
            k = fallback[size_t(k - 1)];
        if (needle[i] == needle[k])
            ++k;
        fallback[size_t(i)] = k;
    }
    qsizetype matched = 0;
    for (qsizetype i = from; i < bytes_.size(); ++i) {
        while (matched > 0 && bytes_[i] != needle[matched])
            matched = fallback[size_t(matched - 1)];
        if (bytes_[i] == needle[matched])
            ++matched;
        if (matched == needle.size()) {
            const qsizetype at = i + 1 - matched;
            knownBoundary = boundaryAtOrAfter(knownBoundary, at);
            if (knownBoundary == at)
                return at;
            matched = fallback[size_t(matched - 1)];
        }
    }
    return -1;
}

namespace {

struct ByteTally {
    quint32 latin = 0;
    quint32 high = 0;

    void add(unsigned char byte)
    {
        latin += quint32(unsigned(byte - 0x21) < 0x5Eu);
        high += quint32(byte >= 0x7F);
    }
};

} // namespace

CharacterCounts countCharacters(QByteArrayView gbkBytes)
{
    // Fixed-length blocks with narrow, branch-free tallies are what the compiler
    // vectorises even at -O2; the tallies go into the wide totals once per block.
    constexpr qsizetype kBlock = 256;
    const auto* data = reinterpret_cast<const unsigned char*>(gbkBytes.data());
    const qsizetype size = gbkBytes.size();
    qint64 latin = 0;
    qint64 high = 0;
    qsizetype pos = 0;
    for (; pos + kBlock <= size; pos += kBlock) {
        ByteTally tally;
        for (qsizetype i = 0; i < kBlock; ++i)
            tally.add(data[pos + i]);
        latin += tally.latin;
        high += tally.high;
    }
    ByteTally rest;
    for (; pos < size; ++pos)
        rest.add(data[pos]);
    latin += rest.latin;
    high += rest.high;
    return {high / 2, latin};
}

QString countMessage(CharacterCounts counts)
{
    return u"汉字及中文符号："_s + QString::number(counts.chinese) + u'\r' + u"数字字母及英文符号："_s
        + QString::number(counts.latin);
}

QString trimmedSearchKeyword(QStringView keyword)
{
    qsizetype begin = 0;
    qsizetype end = keyword.size();
    while (begin < end && keyword[begin].unicode() <= 32)
        ++begin;
    while (end > begin && keyword[end - 1].unicode() <= 32)
        --end;
    return keyword.sliced(begin, end - begin).toString();
}

} // namespace tavrin
