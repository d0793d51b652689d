#include "encoding/gbk_codec.h"

#include "encoding/gb18030_tables.h"

namespace tavrin {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

int packedLength(gb::PackedBytes bytes)
{
    return bytes <= 0xFF ? 1 : bytes <= 0xFFFF ? 2 : 4;
}

gb::PackedBytes supplementaryBytes(const gb::Tables& t, char32_t c)
{
    for (const gb::SupplementaryException& exception : t.supplementaryExceptions) {
        if (exception.codePoint == c)
            return exception.bytes;
    }
    return gb::fourBytesFromLinear(gb::kFourByteSupplementaryStart + int(c - 0x10000));
}

// Calls output(bytes) for every character of the text, in order; returns how many
// characters had to be replaced.
template <typename Output> qsizetype forEachEncoded(QStringView text, const gb::Tables& t, Output output)
{
    const gb::PackedBytes replacement = t.bmpToBytes[kReplacement];
    qsizetype replaced = 0;
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const char16_t unit = *p++;
        if (unit < 0x80) {
            output(gb::PackedBytes(unit));
            continue;
        }
        if (QChar::isHighSurrogate(unit) && p < end && QChar::isLowSurrogate(*p)) {
            output(supplementaryBytes(t, QChar::surrogateToUcs4(unit, *p++)));
            continue;
        }
        const gb::PackedBytes bytes = t.bmpToBytes[unit];
        if (bytes == gb::kNoBytes) {
            ++replaced;
            output(replacement);
        } else {
            output(bytes);
        }
    }
    return replaced;
}

// Appends one character to the output; the output has room, since no sequence yields
// more UTF-16 units than it has bytes.
inline void put(char16_t*& out, char32_t c)
{
    if (c > 0xFFFF) {
        *out++ = QChar::highSurrogate(c);
        *out++ = QChar::lowSurrogate(c);
    } else {
        *out++ = char16_t(c);
    }
}

bool isFourByteSecond(uchar b)
{
    return b >= 0x30 && b <= 0x39;
}

bool isLead(uchar b)
{
    return b >= 0x81 && b <= 0xFE;
}

// The character of the four-byte sequence at p (which holds four bytes of the right
// shape), or 0 when it stands for none.
char32_t fourByteCharacter(const gb::Tables& t, const uchar* p)
{
    const int linear = gb::fourByteLinear(p[0], p[1], p[2], p[3]);
    if (linear < gb::kFourByteBmpCount)
        return t.fromFourBytes[linear];
    const int offset = linear - gb::kFourByteSupplementaryStart;
    if (offset >= 0 && offset < 0x100000)
        return char32_t(0x10000 + offset);
    return 0;
}

} // namespace

QByteArray encodeGbk(QStringView text, qsizetype* replacedCharacters)
{
    const gb::Tables& t = gb::tables();
    qsizetype size = 0;
    forEachEncoded(text, t, [&size](gb::PackedBytes bytes) { size += packedLength(bytes); });

    QByteArray out(size, Qt::Uninitialized);
    char* w = out.data();
    const qsizetype replaced = forEachEncoded(text, t, [&w](gb::PackedBytes bytes) {
        switch (packedLength(bytes)) {
        case 4:
            *w++ = char(bytes >> 24);
            *w++ = char(bytes >> 16);
            [[fallthrough]];
        case 2:
            *w++ = char(bytes >> 8);
            [[fallthrough]];
        default:
            *w++ = char(bytes);
        }
    });
    if (replacedCharacters)
        *replacedCharacters = replaced;
    return out;
}

namespace {

// One character read from a byte of 0x80 or above: how many bytes it takes, and the
// character, or none when those bytes cannot be read.
struct Decoded {
    int length;
    char32_t character;
};

inline Decoded decodeNonAscii(const gb::Tables& t, const uchar* p, const uchar* end)
{
    const uchar b = *p;
    if (!isLead(b) || end - p < 2)
        return {1, t.fromHighByte[b - 0x80]};
    const uchar second = p[1];
    if (isFourByteSecond(second)) {
        if (end - p < 4 || !isLead(p[2]) || !isFourByteSecond(p[3]))
            return {1, 0}; // a broken four-byte start; what follows is read on its own
        return {4, fourByteCharacter(t, p)};
    }
    if (second < gb::kTwoByteTrailFirst || second == 0x7F || second == 0xFF)
        return {1, 0}; // the lead byte alone; an ASCII byte after it is kept as itself
    const char32_t c = t.fromTwoBytes[gb::twoByteIndex(b, second)];
    return {c == 0 && second < 0x80 ? 1 : 2, c}; // an unreadable pair keeps an ASCII second byte
}

} // namespace

QString decodeGbk(QByteArrayView bytes, qsizetype* unreadableBytes)
{
    const gb::Tables& t = gb::tables();
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* w = reinterpret_cast<char16_t*>(text.data());
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    qsizetype unreadable = 0;
    while (p < end) {
        if (*p < 0x80) {
            *w++ = *p++;
            continue;
        }
        const Decoded decoded = decodeNonAscii(t, p, end);
        if (decoded.character != 0) {
            put(w, decoded.character);
        } else {
            for (int i = 0; i < decoded.length; ++i)
                *w++ = kReplacement;
            unreadable += decoded.length;
        }
        p += decoded.length;
    }
    text.truncate(w - reinterpret_cast<char16_t*>(text.data()));
    if (unreadableBytes)
        *unreadableBytes = unreadable;
    return text;
}

} // namespace tavrin
