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
std::vector<Boundary> boundariesOf(const QString& text)
{
    std::vector<Boundary> boundaries{{0, 0}};
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const qsizetype bytes = tavrin::encodeGbk(QStringView(text).sliced(i, units)).size();
        i += units;
        boundaries.push_back({boundaries.back().byte + bytes, i});
    }
    return boundaries;
}

// Every occurrence of `needle` that starts on one of `starts`, in order.
std::vector<qsizetype> alignedOccurrences(const QByteArray& bytes, QByteArrayView needle,
                                          const std::vector<qsizetype>& starts)
{
    std::vector<qsizetype> found;
    if (needle.isEmpty())
        return found;
    for (qsizetype start : starts) {
        if (QByteArrayView(bytes).sliced(start).startsWith(needle))
            found.push_back(start);
    }
    return found;
}

// find from every kind of starting point gives the first aligned occurrence at or after it.
void checkFind(const tavrin::GbkText& text, QByteArrayView needle, const std::vector<qsizetype>& starts)
{
    const std::vector<qsizetype> expected = alignedOccurrences(text.bytes(), needle, starts);
    const qsizetype size = text.bytes().size();
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
    // Find next, repeated, meets every occurrence once.
    std::vector<qsizetype> met;
    for (qsizetype at = text.find(needle, 0); at >= 0 && met.size() <= expected.size(); at = text.find(needle, at + 1))
        met.push_back(at);
    FUZZ_CHECK(met == expected);
}

// Bytes encoded from a text: the mapping must be exact, and positions inside a
// character go to its end.
void checkEncodedText(const QString& plain, QByteArrayView needle)
{
    const std::vector<Boundary> boundaries = boundariesOf(plain);
    const tavrin::GbkText text(tavrin::encodeGbk(plain));
    FUZZ_CHECK(text.bytes().size() == boundaries.back().byte);
    std::vector<qsizetype> starts;
    for (size_t i = 0; i < boundaries.size(); ++i) {
        const Boundary& at = boundaries[i];
        FUZZ_CHECK(text.charPosOf(at.byte) == at.unit);
        FUZZ_CHECK(text.byteOffsetOf(at.unit) == at.byte);
        if (i + 1 == boundaries.size())
            break;
        starts.push_back(at.byte);
        const Boundary& next = boundaries[i + 1];
        for (qsizetype inside = at.byte + 1; inside < next.byte; ++inside)
            FUZZ_CHECK(text.charPosOf(inside) == next.unit);
        if (next.unit - at.unit == 2)
            FUZZ_CHECK(text.byteOffsetOf(at.unit + 1) == next.byte);
    }
    checkFind(text, tavrin::encodeGbk(QString::fromUtf8(needle)), starts);
}

// Any bytes: the two mappings agree with each other, and find keeps to the
// character starts they define.
void checkAnyBytes(QByteArrayView bytes, QByteArrayView needle)
{
    const tavrin::GbkText text(bytes.toByteArray());
    const qsizetype size = bytes.size();
    const qsizetype units = text.charPosOf(size);
    FUZZ_CHECK(text.byteOffsetOf(units) == size && text.byteOffsetOf(-3) == 0 && text.byteOffsetOf(units + 9) == size);
    FUZZ_CHECK(text.charPosOf(-1) == 0 && text.charPosOf(size + 5) == units);
    std::vector<qsizetype> starts;
    qsizetype previousUnit = 0;
    for (qsizetype byte = 0; byte <= size; ++byte) {
        const qsizetype unit = text.charPosOf(byte);
        FUZZ_CHECK(unit >= previousUnit && unit <= previousUnit + 2);
        previousUnit = unit;
        const qsizetype back = text.byteOffsetOf(unit);
        FUZZ_CHECK(back >= byte);
        if (back == byte && byte < size)
            starts.push_back(byte);
    }
    for (qsizetype unit = 0; unit <= units; ++unit) {
        const qsizetype drift = text.charPosOf(text.byteOffsetOf(unit)) - unit;
        FUZZ_CHECK(drift == 0 || drift == 1);
    }
    checkFind(text, needle, starts);
}

void checkCounts(QByteArrayView bytes)
{
    qint64 latin = 0;
    qint64 high = 0;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
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
    checkAnyBytes(haystack, needle);
    checkEncodedText(QString::fromUtf8(haystack), needle);
    checkCounts(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    checkKeyword(QString::fromUtf8(needle));
    return 0;
}
