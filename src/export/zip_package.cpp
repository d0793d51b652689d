#include "export/zip_package.h"

#include "export/libzip_library.h"
#include "export/quick_deflate.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <memory>
#include <stdexcept>
#include <string>

namespace tavrin {

namespace {

[[noreturn]] void fail(const LibZip& zip, const char* step, zip_error_t* error)
{
    throw std::runtime_error(std::string("zip: ") + step + ": " + zip.errorText(error));
}

struct SourceFree {
    const LibZip* zip;
    void operator()(zip_source_t* source) const { zip->freeSource(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

// A part deflated ahead (quick_deflate.h), handed to libzip as data it has
// already compressed: libzip copies it into the package as it is.
struct Deflated {
    DeflatedPart part;
    qsizetype at = 0;
};

zip_int64_t serveDeflated(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    Deflated& deflated = *static_cast<Deflated*>(state);
    const QByteArray& bytes = deflated.part.deflated;
    switch (command) {
    case ZIP_SOURCE_OPEN:
        deflated.at = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const auto count = std::min<qsizetype>(qsizetype(length), bytes.size() - deflated.at);
        std::memcpy(data, bytes.constData() + deflated.at, std::size_t(count));
        deflated.at += count;
        return count;
    }
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
        stat->size = deflated.part.size;
        stat->comp_size = zip_uint64_t(bytes.size());
        stat->comp_method = ZIP_CM_DEFLATE;
        stat->crc = deflated.part.crc;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: // nothing here fails
        if (length < 2 * sizeof(int))
            return -1;
        static_cast<int*>(data)[0] = ZIP_ER_INTERNAL;
        static_cast<int*>(data)[1] = 0;
        return 2 * sizeof(int);
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_READABLE;
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    default:
        return -1;
    }
}

zip_source_t* sourceOf(const LibZip& zip, zip_t* archive, const PackagePart& part, std::list<Deflated>& deflated)
{
    if (part.stored) {
        const char* bytes = part.chunks.empty() ? "" : part.chunks.front().constData();
        const qsizetype size = part.chunks.empty() ? 0 : part.chunks.front().size();
        return zip.partSource(archive, bytes, zip_uint64_t(size), 0);
    }
    return zip.functionSource(archive, serveDeflated, &deflated.emplace_back(Deflated{deflateQuickly(part.chunks)}));
}

void addPart(const LibZip& zip, zip_t* archive, const PackagePart& part, std::list<Deflated>& deflated)
{
    zip_source_t* source = sourceOf(zip, archive, part, deflated);
    const zip_int64_t index = source ? zip.addFile(archive, part.name, source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        zip.freeSource(source);
        fail(zip, part.name, zip.archiveError(archive));
    }
    if (part.stored && zip.setCompression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) < 0)
        fail(zip, part.name, zip.archiveError(archive));
}

QByteArray readWhole(const LibZip& zip, zip_source_t* archiveBytes)
{
    zip_stat_t stat;
    if (zip.openSource(archiveBytes) < 0 || zip.statSource(archiveBytes, &stat) < 0)
        fail(zip, "reading the package", zip.sourceError(archiveBytes));
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip.readSource(archiveBytes, bytes.data(), stat.size);
    zip.closeSource(archiveBytes);
    if (read != zip_int64_t(stat.size))
        fail(zip, "reading the package", zip.sourceError(archiveBytes));
    return bytes;
}

} // namespace

QByteArray zipPackage(const std::vector<PackagePart>& parts)
{
    const LibZip& zip = loadLibZip();
    zip_error_t error;
    zip.errorInit(&error);
    Source archiveBytes(zip.bufferSource(nullptr, 0, 0, &error), SourceFree{&zip});
    if (!archiveBytes)
        fail(zip, "a buffer", &error);
    zip_t* archive = zip.openFromSource(archiveBytes.get(), ZIP_TRUNCATE, &error);
    if (!archive)
        fail(zip, "opening", &error);
    zip.errorFini(&error);
    zip.keep(archiveBytes.get()); // the archive's close would free it otherwise
    // The parts' bytes outlive the archive, which reads them when it is closed.
    std::list<Deflated> deflated;
    try {
        for (const PackagePart& part : parts)
            addPart(zip, archive, part, deflated);
    } catch (...) {
        zip.discard(archive);
        throw;
    }
    if (zip.close(archive) < 0) {
        const std::string reason = zip.errorText(zip.archiveError(archive));
        zip.discard(archive);
        throw std::runtime_error("zip: writing the package: " + reason);
    }
    return readWhole(zip, archiveBytes.get());
}

} // namespace tavrin
