#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace tavrin {

// A package part deflated ahead of the zip, which then stores it as it is.
struct DeflatedPart {
    QByteArray deflated;    // a raw deflate stream
    std::uint32_t crc = 0;  // CRC-32 of the bytes before deflating
    std::uint64_t size = 0; // their number
};

// `chunks`, one after the other, deflated at deflate's quickest level. A large
// part is cut into pieces deflated at once, one per core (as pigz does): each
// piece but the last ends on a byte boundary, so that the pieces put together
// are one stream. Throws std::runtime_error when zlib fails.
DeflatedPart deflateQuickly(const std::vector<QByteArray>& chunks);

} // namespace tavrin
