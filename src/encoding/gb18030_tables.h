#pragma once

#include <QtGlobal>

#include <array>
#include <vector>

// Lookup tables for GBK (code page 936) and its superset GB18030, filled once from
// glibc's converters. Only gbk_codec.cpp uses them; everyone else calls encodeGbk/decodeGbk.
namespace tavrin::gb {

// A byte sequence packed into one number: up to 0xFF it is one byte, up to 0xFFFF two
// bytes (first byte high), otherwise four bytes (first byte highest).
using PackedBytes = quint32;
inline constexpr PackedBytes kNoBytes = 0xFFFFFFFFu;

inline constexpr int kTwoByteLeadFirst = 0x81;
inline constexpr int kTwoByteTrailFirst = 0x40;
inline constexpr int kTwoByteTrailCount = 0xFE - kTwoByteTrailFirst + 1;
inline constexpr int kTwoByteCount = (0xFE - kTwoByteLeadFirst + 1) * kTwoByteTrailCount;

// Four-byte sequences count up linearly: 81 30 81 30 is 0, 81 30 81 31 is 1, ...
// The first 39420 of them stand for BMP characters by table; from 90 30 81 30 on
// they stand for U+10000..U+10FFFF in order.
inline constexpr int kFourByteBmpCount = 39420;
inline constexpr int kFourByteSupplementaryStart = 189000;

constexpr int twoByteIndex(int lead, int trail)
{
    return (lead - kTwoByteLeadFirst) * kTwoByteTrailCount + (trail - kTwoByteTrailFirst);
}

constexpr int fourByteLinear(int b0, int b1, int b2, int b3)
{
    return (((b0 - 0x81) * 10 + (b1 - 0x30)) * 126 + (b2 - 0x81)) * 10 + (b3 - 0x30);
}

constexpr PackedBytes fourBytesFromLinear(int linear)
{
    const int b3 = linear % 10 + 0x30;
    linear /= 10;
    const int b2 = linear % 126 + 0x81;
    linear /= 126;
    const int b1 = linear % 10 + 0x30;
    const int b0 = linear / 10 + 0x81;
    return PackedBytes(b0) << 24 | PackedBytes(b1) << 16 | PackedBytes(b2) << 8 | PackedBytes(b3);
}

struct SupplementaryException {
    char32_t codePoint;
    PackedBytes bytes;
};

struct Tables {
    // How each BMP character is written; kNoBytes for surrogates (and anything unwritable).
    std::array<PackedBytes, 0x10000> bmpToBytes;
    // Characters of the two-byte sequences, by twoByteIndex; 0 where the pair means nothing.
    std::array<char32_t, kTwoByteCount> fromTwoBytes;
    // Characters of the BMP four-byte sequences, by linear number; 0 where unassigned.
    std::array<char16_t, kFourByteBmpCount> fromFourBytes;
    // Characters of the single bytes 0x80..0xFF; 0 where the byte is no character on its own.
    std::array<char32_t, 0x80> fromHighByte;
    // Supplementary characters written otherwise than by the linear four-byte rule.
    std::vector<SupplementaryException> supplementaryExceptions;
};

// The tables, built on first use (thread-safe). Throws std::runtime_error when the
// system has no GBK or GB18030 converter.
const Tables& tables();

} // namespace tavrin::gb
