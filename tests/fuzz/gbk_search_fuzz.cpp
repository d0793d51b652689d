// Find next and the counts on the editor's GBK bytes: input is "needle\0text".
#include "editor/gbk_search.h"
#include "encoding/gbk_codec.h"
#include "fuzz_support.h"

#include <QString>

#include <vector>

namespace {

struct Boundary {
    qsizetype byte = 0;
    qsizetype unit = 0;
};

// Where each character of `text` starts in its GBK bytes and in its UTF-16 units,
// found by encoding the characters one by one; the last entry is the end.
std::vector<Boundary> boundariesOfText(const QString& text)
{
    std::vector<Boundary> boundaries{{0, 0}};
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        const qsizetype bytes = tavrin::encodeGbk(QStringView(text).sliced(i, units)).size();
        i += units;
        boundaries.push_back({boundaries.back().byte + bytes, i});
    }
    return boundaries;
}

bool inRange(uchar byte, uchar low, uchar high)
{
    return byte >= low && byte <= high;
}

// The characters of any bytes as the mapping documents them: double-byte and
// four-byte sequences of the right shape, and any other byte on its own.
std::vector<Boundary> boundariesOfBytes(QByteArrayView bytes)
{
    const auto* b = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    std::vector<Boundary> boundaries{{0, 0}};
    for (qsizetype at = 0; at < size;) {
        qsizetype length = 1;
        qsizetype units = 1;
        if (inRange(b[at], 0x81, 0xFE) && at + 1 < size) {
            if (inRange(b[at + 1], 0x40, 0xFE) && b[at + 1] != 0x7F) {
                length = 2;
                units = tavrin::doubleByteCharacterUnits(b[at], b[at + 1]);
            } else if (inRange(b[at + 1], 0x30, 0x39) && at + 3 < size && inRange(b[at + 2], 0x81, 0xFE)
                       && inRange(b[at + 3], 0x30, 0x39)) {
                length = 4;
                units = inRange(b[at], 0x90, 0xE3) ? 2 : 1;
            }
        }
        at += length;
        boundaries.push_back({at, boundaries.back().unit + units});
    }
    return boundaries;
}

// Each lookup walks up to a block of about a kilobyte, so long texts are checked at
// a sample of characters: the first ones, those near block edges, and evenly spread.
bool sampled(size_t index, qsizetype byte, size_t count)
{
    const size_t stride = std::max<size_t>(1, count / 64);
    const qsizetype fromBlockEdge = byte % 1024;
    return index < 16 || index % stride == 0 || fromBlockEdge < 4 || fromBlockEdge > 1020;
}

// The mapping meets every character's start both ways, and positions inside a
// character go to its end.
void checkMapping(const tavrin::GbkText& text, const std::vector<Boundary>& boundaries)
{
    const Boundary end = boundaries.back();
    FUZZ_CHECK(text.bytes().size() == end.byte);
    FUZZ_CHECK(text.charPosOf(end.byte + 5) == end.unit && text.charPosOf(-1) == 0);
    FUZZ_CHECK(text.byteOffsetOf(end.unit + 9) == end.byte && text.byteOffsetOf(-3) == 0);
    for (size_t i = 0; i < boundaries.size(); ++i) {
        const Boundary& at = boundaries[i];
        if (!sampled(i, at.byte, boundaries.size()))
            continue;
        FUZZ_CHECK(text.charPosOf(at.byte) == at.unit);
        FUZZ_CHECK(text.byteOffsetOf(at.unit) == at.byte);
        if (i + 1 == boundaries.size())
            break;
        const Boundary& next = boundaries[i + 1];
        for (qsizetype inside = at.byte + 1; inside < next.byte; ++inside)
            FUZZ_CHECK(text.charPosOf(inside) == next.unit);
        for (qsizetype inside = at.unit + 1; inside < next.unit; ++inside)
            FUZZ_CHECK(text.byteOffsetOf(inside) == next.byte);
    }
}

// find from any starting point gives the first occurrence at or after it that starts
// a character, and find next, repeated, meets each of them in order.
void checkFind(const tavrin::GbkText& text, QByteArrayView needle, const std::vector<Boundary>& boundaries)
{
    const QByteArrayView bytes(text.bytes());
    std::vector<qsizetype> expected;
    if (!needle.isEmpty()) {
        for (size_t i = 0; i + 1 < boundaries.size(); ++i) {
            if (bytes.sliced(boundaries[i].byte).startsWith(needle))
                expected.push_back(boundaries[i].byte);
        }
    }
    const qsizetype size = bytes.size();
    for (qsizetype from : {qsizetype(-7), qsizetype(0), size / 3, size / 2 + 1, size - 1, size, size + 1}) {
        qsizetype want = -1;
        for (qsizetype at : expected) {
            if (at >= from && from <= size) {
                want = at;
                break;
            }
        }
        FUZZ_CHECK(text.find(needle, from) == want);
    }
    constexpr size_t kFollowed = 64;
    std::vector<qsizetype> met;
    for (qsizetype at = text.find(needle, 0); at >= 0 && met.size() < kFollowed; at = text.find(needle, at + 1))
        met.push_back(at);
    expected.resize(std::min(expected.size(), kFollowed));
    FUZZ_CHECK(met == expected);
}

void checkCounts(QByteArrayView bytes)
{
    qint64 latin = 0;
    qint64 high = 0;
    for (char c : bytes) {
        const auto byte = static_cast<uchar>(c);
        latin += byte >= 0x21 && byte <= 0x7E;
        high += byte >= 0x7F;
    }
    const tavrin::CharacterCounts counts = tavrin::countCharacters(bytes);
    FUZZ_CHECK(counts.latin == latin && counts.chinese == high / 2);
}

void checkKeyword(const QString& keyword)
{
    const QString trimmed = tavrin::trimmedSearchKeyword(keyword);
    FUZZ_CHECK(trimmed.isEmpty() || (trimmed.front().unicode() > 32 && trimmed.back().unicode() > 32));
    const qsizetype lead = keyword.indexOf(trimmed);
    FUZZ_CHECK(lead >= 0);
    // Only characters of code 32 or less were taken away.
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        if (i < lead || i >= lead + trimmed.size())
            FUZZ_CHECK(keyword[i].unicode() <= 32);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<QByteArrayView> parts = tavrin::fuzz::splitInput(data, size, 2);
    const QByteArrayView needle = parts[0], haystack = parts[1];

    // Any bytes, with the needle as given.
    const tavrin::GbkText anyBytes(haystack.toByteArray());
    const std::vector<Boundary> byteBoundaries = boundariesOfBytes(haystack);
    checkMapping(anyBytes, byteBoundaries);
    checkFind(anyBytes, needle, byteBoundaries);

    // The editor's case: bytes encoded from a text, where the mapping must be exact.
    const QString plain = QString::fromUtf8(haystack);
    const tavrin::GbkText encoded(tavrin::encodeGbk(plain));
    const std::vector<Boundary> textBoundaries = boundariesOfText(plain);
    checkMapping(encoded, textBoundaries);
    checkFind(encoded, tavrin::encodeGbk(QString::fromUtf8(needle)), textBoundaries);

    checkCounts(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    checkKeyword(QString::fromUtf8(needle));
    return 0;
}
