#include "export/quick_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <future>
#include <stdexcept>
#include <thread>

namespace tavrin {

namespace {

constexpr int kQuickestLevel = 1;
constexpr int kRawDeflate = -15; // no zlib header: the zip's entry holds the stream alone
constexpr int kMemoryLevel = 8;
// Below this, a piece is not worth a thread of its own.
constexpr qsizetype kSmallestPiece = qsizetype(4) << 20;
constexpr unsigned kMostPieces = 4;

struct Piece {
    std::size_t from = 0; // chunk indices
    std::size_t to = 0;
    bool last = false;
};

struct DeflatedPiece {
    QByteArray deflated;
    uLong crc = 0;
    qsizetype size = 0;
};

// Deflates `input` into what `out` still has room for, growing it when it has none.
void deflateInto(z_stream& stream, QByteArray& out, const char* input, qsizetype length, int flush)
{
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input));
    stream.avail_in = uInt(length);
    do {
        if (out.capacity() - out.size() < 64)
            out.reserve(out.capacity() * 2 + 4096);
        const qsizetype used = out.size();
        const qsizetype room = out.capacity() - used;
        out.resize(out.capacity());
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        stream.avail_out = uInt(room);
        const int result = ::deflate(&stream, flush);
        out.resize(used + room - qsizetype(stream.avail_out));
        if (result == Z_STREAM_ERROR)
            throw std::runtime_error("zlib: deflate failed");
    } while (stream.avail_out == 0 || stream.avail_in > 0);
}

DeflatedPiece deflatePiece(const std::vector<QByteArray>& chunks, Piece piece)
{
    z_stream stream{};
    if (deflateInit2(&stream, kQuickestLevel, Z_DEFLATED, kRawDeflate, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("zlib: cannot start deflating");
    DeflatedPiece out;
    qsizetype size = 0;
    for (std::size_t i = piece.from; i < piece.to; ++i)
        size += chunks[i].size();
    out.deflated.reserve(qsizetype(deflateBound(&stream, uLong(size))) + 64);
    out.crc = crc32_z(0, nullptr, 0);
    try {
        for (std::size_t i = piece.from; i < piece.to; ++i) {
            const QByteArray& chunk = chunks[i];
            out.crc = crc32_z(out.crc, reinterpret_cast<const Bytef*>(chunk.constData()), std::size_t(chunk.size()));
            deflateInto(stream, out.deflated, chunk.constData(), chunk.size(), Z_NO_FLUSH);
        }
        // A piece before the last ends with an empty stored block, on a byte boundary.
        deflateInto(stream, out.deflated, nullptr, 0, piece.last ? Z_FINISH : Z_SYNC_FLUSH);
    } catch (...) {
        deflateEnd(&stream);
        throw;
    }
    deflateEnd(&stream);
    out.size = size;
    return out;
}

// The chunks cut into pieces of much the same size, one per core.
std::vector<Piece> piecesOf(const std::vector<QByteArray>& chunks)
{
    qsizetype total = 0;
    for (const QByteArray& chunk : chunks)
        total += chunk.size();
    const auto wanted = std::clamp<qsizetype>(total / kSmallestPiece, 1,
                                              std::min(std::max(std::thread::hardware_concurrency(), 1u), kMostPieces));
    std::vector<Piece> pieces;
    qsizetype taken = 0;
    std::size_t from = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        taken += chunks[i].size();
        if (taken * wanted >= total * qsizetype(pieces.size() + 1) && qsizetype(pieces.size()) + 1 < wanted) {
            pieces.push_back({from, i + 1, false});
            from = i + 1;
        }
    }
    pieces.push_back({from, chunks.size(), true});
    return pieces;
}

} // namespace

DeflatedPart deflateQuickly(const std::vector<QByteArray>& chunks)
{
    const std::vector<Piece> pieces = piecesOf(chunks);
    std::vector<std::future<DeflatedPiece>> others;
    for (std::size_t i = 1; i < pieces.size(); ++i)
        others.push_back(std::async(std::launch::async, deflatePiece, std::cref(chunks), pieces[i]));
    DeflatedPiece first = deflatePiece(chunks, pieces.front());
    DeflatedPart part{std::move(first.deflated), std::uint32_t(first.crc), std::uint64_t(first.size)};
    for (std::future<DeflatedPiece>& other : others) {
        const DeflatedPiece piece = other.get(); // the exception of a piece that failed, if one did
        part.deflated += piece.deflated;
        part.crc = std::uint32_t(crc32_combine(part.crc, piece.crc, z_off_t(piece.size)));
        part.size += std::uint64_t(piece.size);
    }
    return part;
}

} // namespace tavrin
