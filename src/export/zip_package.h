#pragma once

#include <QByteArray>

#include <vector>

namespace tavrin {

// One file of a document package: its name in the package and its bytes, in
// chunks that are deflated as they are.
struct PackagePart {
    const char* name;
    std::vector<QByteArray> chunks;
    bool stored = false; // kept uncompressed, in one chunk (an OpenDocument package's "mimetype")
};

// The zip of `parts`, in their order, with libzip (loaded at run time): each
// part deflated at the quickest level (quick_deflate.h) unless stored. Throws
// std::runtime_error when libzip is missing or it or zlib fails.
QByteArray zipPackage(const std::vector<PackagePart>& parts);

} // namespace tavrin
