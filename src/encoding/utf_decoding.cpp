#include "encoding/utf_decoding.h"

namespace tavrin {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isContinuation(uchar b)
{
    return (b & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at p and its character, or 0 when the byte at
// p starts none. Follows the table of well-formed sequences in the Unicode standard.
int readUtf8(const uchar* p, const uchar* end, char32_t* c)
{
    const uchar b0 = p[0];
    const qsizetype left = end - p;
    if (b0 < 0x80) {
        *c = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (left < 2 || !isContinuation(p[1]))
            return 0;
        *c = char32_t(b0 & 0x1F) << 6 | (p[1] & 0x3F);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        // E0 needs A0.. to not be overlong; ED needs ..9F to not be a surrogate.
        const uchar low = b0 == 0xE0 ? 0xA0 : 0x80;
        const uchar high = b0 == 0xED ? 0x9F : 0xBF;
        if (left < 3 || p[1] < low || p[1] > high || !isContinuation(p[2]))
            return 0;
        *c = char32_t(b0 & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        // F0 needs 90.. to not be overlong; F4 needs ..8F to stay within U+10FFFF.
        const uchar low = b0 == 0xF0 ? 0x90 : 0x80;
        const uchar high = b0 == 0xF4 ? 0x8F : 0xBF;
        if (left < 4 || p[1] < low || p[1] > high || !isContinuation(p[2]) || !isContinuation(p[3]))
            return 0;
        *c = char32_t(b0 & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 | char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
        return 4;
    }
    return 0;
}

void put(char16_t*& out, char32_t c)
{
    if (c > 0xFFFF) {
        *out++ = QChar::highSurrogate(c);
        *out++ = QChar::lowSurrogate(c);
    } else {
        *out++ = char16_t(c);
    }
}

// Decodes into a text; stops at the first bad byte when `strict`, else replaces it.
// Returns false only when strict decoding met a bad byte.
bool decodeUtf8Into(QByteArrayView bytes, bool strict, QString* text, qsizetype* unreadableBytes)
{
    // A sequence never yields more UTF-16 units than it has bytes.
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* w = reinterpret_cast<char16_t*>(out.data());
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    qsizetype unreadable = 0;
    while (p < end) {
        if (*p < 0x80) {
            *w++ = *p++;
            continue;
        }
        char32_t c = 0;
        const int length = readUtf8(p, end, &c);
        if (length == 0) {
            if (strict)
                return false;
            *w++ = kReplacement;
            ++unreadable;
            ++p;
            continue;
        }
        put(w, c);
        p += length;
    }
    out.truncate(w - reinterpret_cast<char16_t*>(out.data()));
    *text = std::move(out);
    if (unreadableBytes)
        *unreadableBytes = unreadable;
    return true;
}

} // namespace

std::optional<QString> decodeStrictUtf8(QByteArrayView bytes)
{
    QString text;
    if (!decodeUtf8Into(bytes, true, &text, nullptr))
        return std::nullopt;
    return text;
}

QString decodeUtf8(QByteArrayView bytes, qsizetype* unreadableBytes)
{
    QString text;
    decodeUtf8Into(bytes, false, &text, unreadableBytes);
    return text;
}

QString decodeUtf16(QByteArrayView bytes, bool bigEndian, qsizetype* unreadableBytes)
{
    const qsizetype units = bytes.size() / 2;
    QString out(units + 1, Qt::Uninitialized);
    char16_t* w = reinterpret_cast<char16_t*>(out.data());
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const auto unitAt = [p, bigEndian](qsizetype i) {
        const uchar a = p[2 * i], b = p[2 * i + 1];
        return bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    };
    qsizetype unreadable = 0;
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (!QChar::isSurrogate(unit)) {
            *w++ = unit;
        } else if (QChar::isHighSurrogate(unit) && i + 1 < units && QChar::isLowSurrogate(unitAt(i + 1))) {
            *w++ = unit;
            *w++ = unitAt(++i);
        } else {
            *w++ = kReplacement;
            unreadable += 2;
        }
    }
    if (bytes.size() % 2 != 0) {
        *w++ = kReplacement;
        ++unreadable;
    }
    out.truncate(w - reinterpret_cast<char16_t*>(out.data()));
    if (unreadableBytes)
        *unreadableBytes = unreadable;
    return out;
}

} // namespace tavrin
