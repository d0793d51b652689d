#include "export/zip_package.h"

#include "export/libzip_library.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace tavrin {

namespace {

// Deflate's quickest level: a 20 MB transcript's XML packs in a fraction of
// the default level's time, and to much the same size.
constexpr zip_uint32_t kQuickestDeflate = 1;

[[noreturn]] void fail(const LibZip& zip, const char* step, zip_error_t* error)
{
    throw std::runtime_error(std::string("zip: ") + step + ": " + zip.errorText(error));
}

struct SourceFree {
    const LibZip* zip;
    void operator()(zip_source_t* source) const { zip->freeSource(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

using Fragments = std::vector<zip_buffer_fragment_t>;

// The part's chunks as libzip's fragments: read in place, never copied.
Fragments fragmentsOf(const PackagePart& part)
{
    Fragments fragments;
    for (const QByteArray& chunk : part.chunks) {
        if (!chunk.isEmpty())
            fragments.push_back(
                {reinterpret_cast<zip_uint8_t*>(const_cast<char*>(chunk.constData())), zip_uint64_t(chunk.size())});
    }
    return fragments;
}

void addPart(const LibZip& zip, zip_t* archive, const PackagePart& part, const Fragments& fragments)
{
    zip_source_t* source = fragments.empty() ? zip.partSource(archive, "", 0, 0)
                                             : zip.fragmentSource(archive, fragments.data(), fragments.size(), 0);
    const zip_int64_t index = source ? zip.addFile(archive, part.name, source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        zip.freeSource(source);
        fail(zip, part.name, zip.archiveError(archive));
    }
    const bool set = part.stored
        ? zip.setCompression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) == 0
        : zip.setCompression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, kQuickestDeflate) == 0;
    if (!set)
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
    // The fragments outlive the archive, which reads them when it is closed.
    std::vector<Fragments> fragments;
    fragments.reserve(parts.size());
    try {
        for (const PackagePart& part : parts)
            addPart(zip, archive, part, fragments.emplace_back(fragmentsOf(part)));
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
