#include "encoding/gb18030_tables.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace tavrin::gb {
namespace {

// glibc's own character form (UCS-4 in host order, as wchar_t): converting to or from
// it takes one step, where UTF-32LE would add a second one that redoes its work after
// every rejected character.
constexpr const char* kUtf32 = "WCHAR_T";
static_assert(sizeof(wchar_t) == sizeof(char32_t));

// GB18030-2022 moved these private-use characters to the four-byte codes that the
// characters they used to stand in for (vertical forms U+FE10.., ideographs U+9FB4..)
// had before. glibc already reads the two-byte codes as those characters but can
// write the private-use ones no more, so without this they would be lost on saving.
struct PrivateUseSlot {
    char16_t character;
    int fourByteLinear;
};
constexpr PrivateUseSlot kPrivateUseFourByte[] = {
    {0xE78D, 39076}, {0xE78E, 39078}, {0xE78F, 39077}, {0xE790, 39079}, {0xE791, 39080}, {0xE792, 39081},
    {0xE793, 39082}, {0xE794, 39083}, {0xE795, 39084}, {0xE796, 39085}, {0xE81E, 19057}, {0xE826, 19058},
    {0xE82B, 19059}, {0xE82C, 19060}, {0xE832, 19061}, {0xE843, 19062}, {0xE854, 19063}, {0xE864, 19064},
};

// These private-use characters keep their GBK codes, which glibc reads as the
// CJK Extension B ideographs they stood in for; no byte sequence reads back as the
// private-use character, so the ideograph is the closest faithful result.
struct PrivateUsePair {
    char16_t character;
    PackedBytes bytes;
};
constexpr PrivateUsePair kPrivateUseTwoByte[] = {
    {0xE816, 0xFE51}, {0xE817, 0xFE52}, {0xE818, 0xFE53}, {0xE831, 0xFE6C}, {0xE83B, 0xFE76}, {0xE855, 0xFE91},
};

class Converter {
public:
    Converter(const char* to, const char* from)
        : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("No text converter from ") + from + " to " + to + ": "
                                     + std::strerror(errno));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t handle() const { return cd_; }

private:
    iconv_t cd_;
};

using SequenceLength = size_t (*)(const unsigned char* bytes, size_t available);

size_t utf32Length(const unsigned char*, size_t available)
{
    return available >= 4 ? 4 : 0;
}

size_t gbLength(const unsigned char* bytes, size_t available)
{
    if (bytes[0] < 0x81 || bytes[0] == 0xFF)
        return 1;
    if (available < 2)
        return 0;
    if (bytes[1] >= 0x30 && bytes[1] <= 0x39)
        return available >= 4 ? 4 : 0;
    return 2;
}

PackedBytes pack(const std::string& bytes)
{
    PackedBytes packed = 0;
    for (const char byte : bytes)
        packed = packed << 8 | static_cast<unsigned char>(byte);
    return packed;
}

char32_t codePointOf(const std::string& utf32)
{
    char32_t c;
    std::memcpy(&c, utf32.data(), sizeof c);
    return c;
}

// Converts back-to-back items of `itemSize` bytes, each a complete sequence of its own,
// in as few converter calls as possible. An item the converter rejects gives an
// empty result and the conversion goes on after it.
std::vector<std::string> convertEach(const char* to, const char* from, const std::string& items, size_t itemSize,
                                     SequenceLength outputLength)
{
    Converter converter(to, from);
    const size_t count = items.size() / itemSize;
    std::vector<std::string> results(count);
    std::string out(items.size() * 4 + 16, '\0');
    size_t next = 0;
    while (next < count) {
        char* in = const_cast<char*>(items.data()) + next * itemSize;
        size_t inLeft = (count - next) * itemSize;
        const size_t inStart = inLeft;
        char* outPtr = out.data();
        size_t outLeft = out.size();
        const bool failed = iconv(converter.handle(), &in, &inLeft, &outPtr, &outLeft) == size_t(-1);
        const int error = errno;
        const size_t done = (inStart - inLeft) / itemSize;
        const auto* produced = reinterpret_cast<const unsigned char*>(out.data());
        const size_t producedSize = out.size() - outLeft;
        size_t pos = 0;
        for (size_t k = 0; k < done; ++k) {
            const size_t length = outputLength(produced + pos, producedSize - pos);
            if (length == 0)
                throw std::runtime_error("Text converter gave an incomplete sequence");
            results[next + k].assign(out.data() + pos, length);
            pos += length;
        }
        if (pos != producedSize || (inStart - inLeft) % itemSize != 0)
            throw std::runtime_error("Text converter output does not match its input");
        next += done;
        if (!failed)
            break;
        if (error != EILSEQ && error != EINVAL)
            throw std::runtime_error(std::string("Text converter failed: ") + std::strerror(error));
        ++next; // the rejected item keeps its empty result
        iconv(converter.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    return results;
}

std::string convertOne(const char* to, const char* from, const std::string& item, SequenceLength outputLength)
{
    return convertEach(to, from, item, item.size(), outputLength).front();
}

std::string asBytes(const std::vector<char32_t>& codePoints)
{
    return std::string(reinterpret_cast<const char*>(codePoints.data()), codePoints.size() * sizeof(char32_t));
}

void fillBmpToBytes(Tables& t)
{
    std::vector<char32_t> bmp;
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (c < 0xD800 || c > 0xDFFF)
            bmp.push_back(c);
    }
    const std::string items = asBytes(bmp);
    const auto viaGb18030 = convertEach("GB18030", kUtf32, items, 4, gbLength);
    const auto viaGbk = convertEach("GBK", kUtf32, items, 4, gbLength);
    t.bmpToBytes.fill(kNoBytes);
    for (size_t i = 0; i < bmp.size(); ++i) {
        // GB18030 is a superset of GBK; where the two disagree, GBK is what the files hold.
        if (!viaGbk[i].empty())
            t.bmpToBytes[bmp[i]] = pack(viaGbk[i]);
        else if (!viaGb18030[i].empty())
            t.bmpToBytes[bmp[i]] = pack(viaGb18030[i]);
    }
}

void fillFromTwoBytes(Tables& t)
{
    std::string pairs;
    for (int lead = kTwoByteLeadFirst; lead <= 0xFE; ++lead) {
        for (int trail = kTwoByteTrailFirst; trail <= 0xFE; ++trail) {
            pairs.push_back(char(lead));
            pairs.push_back(char(trail));
        }
    }
    const auto viaGb18030 = convertEach(kUtf32, "GB18030", pairs, 2, utf32Length);
    const auto viaGbk = convertEach(kUtf32, "GBK", pairs, 2, utf32Length);
    for (int i = 0; i < kTwoByteCount; ++i) {
        t.fromTwoBytes[i] = !viaGbk[i].empty() ? codePointOf(viaGbk[i])
            : !viaGb18030[i].empty()           ? codePointOf(viaGb18030[i])
                                               : 0;
    }
}

void fillFromFourBytes(Tables& t)
{
    std::string quads;
    for (int linear = 0; linear < kFourByteBmpCount; ++linear) {
        const PackedBytes bytes = fourBytesFromLinear(linear);
        for (int shift = 24; shift >= 0; shift -= 8)
            quads.push_back(char(bytes >> shift));
    }
    const auto viaGb18030 = convertEach(kUtf32, "GB18030", quads, 4, utf32Length);
    for (int i = 0; i < kFourByteBmpCount; ++i) {
        const char32_t c = viaGb18030[i].empty() ? 0 : codePointOf(viaGb18030[i]);
        t.fromFourBytes[i] = c <= 0xFFFF ? char16_t(c) : 0;
    }
}

void fillFromHighByte(Tables& t)
{
    // One at a time: two single bytes side by side could form a pair.
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string item(1, char(byte));
        std::string c = convertOne(kUtf32, "GBK", item, utf32Length);
        if (c.empty())
            c = convertOne(kUtf32, "GB18030", item, utf32Length);
        t.fromHighByte[byte - 0x80] = c.empty() ? 0 : codePointOf(c);
    }
}

void addPrivateUseCodes(Tables& t)
{
    for (const PrivateUseSlot& slot : kPrivateUseFourByte) {
        if (t.bmpToBytes[slot.character] == kNoBytes && t.fromFourBytes[slot.fourByteLinear] == 0) {
            t.bmpToBytes[slot.character] = fourBytesFromLinear(slot.fourByteLinear);
            t.fromFourBytes[slot.fourByteLinear] = slot.character;
        }
    }
    for (const PrivateUsePair& pair : kPrivateUseTwoByte) {
        if (t.bmpToBytes[pair.character] == kNoBytes)
            t.bmpToBytes[pair.character] = pair.bytes;
    }
}

void findSupplementaryExceptions(Tables& t)
{
    for (const char32_t c : t.fromTwoBytes) {
        if (c < 0x10000)
            continue;
        const std::string bytes = convertOne("GB18030", kUtf32, asBytes({c}), gbLength);
        const PackedBytes linearForm = fourBytesFromLinear(kFourByteSupplementaryStart + int(c - 0x10000));
        if (!bytes.empty() && pack(bytes) != linearForm)
            t.supplementaryExceptions.push_back({c, pack(bytes)});
    }
}

std::unique_ptr<Tables> buildTables()
{
    auto t = std::make_unique<Tables>();
    fillBmpToBytes(*t);
    fillFromTwoBytes(*t);
    fillFromFourBytes(*t);
    fillFromHighByte(*t);
    addPrivateUseCodes(*t);
    findSupplementaryExceptions(*t);
    return t;
}

} // namespace

const Tables& tables()
{
    static const std::unique_ptr<Tables> built = buildTables();
    return *built;
}

} // namespace tavrin::gb
