#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Stops the run on a broken promise and names it: libFuzzer keeps the input of
// every abort, so a logic error is caught and saved like a crash.
#define FUZZ_CHECK(condition) ((condition) ? void(0) : ::tavrin::fuzz::fail(#condition, __FILE__, __LINE__))

namespace tavrin::fuzz {

[[noreturn]] inline void fail(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, condition);
    std::abort();
}

// The input cut at its first `count - 1` zero bytes into `count` parts (missing
// parts are empty); the last part keeps any further zero bytes. Seeds stay
// readable that way: "section\0key\0value\0file".
inline std::vector<QByteArrayView> splitInput(const uint8_t* data, size_t size, int count)
{
    std::vector<QByteArrayView> parts;
    QByteArrayView rest(reinterpret_cast<const char*>(data), qsizetype(size));
    while (int(parts.size()) < count - 1) {
        const qsizetype zero = rest.indexOf('\0');
        if (zero < 0)
            break;
        parts.push_back(rest.first(zero));
        rest = rest.sliced(zero + 1);
    }
    parts.push_back(rest);
    parts.resize(size_t(count));
    return parts;
}

} // namespace tavrin::fuzz
