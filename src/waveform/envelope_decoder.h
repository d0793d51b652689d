#pragma once

#include "waveform/envelope.h"

#include <QString>

#include <atomic>
#include <functional>

namespace tavrin {

enum class DecodeOutcome {
    Complete,
    Cancelled,
    Failed, // FFmpeg could not open the file, found no audio in it, or decoded none
};

enum class DecodeStage {
    Sampling, // the quick pass, sampling the whole length
    Sampled,  // the quick pass has just ended: the whole length is drawn coarsely
    Decoding, // the full pass, from the start on
};

// Told after every packet read, on the decoding thread.
using DecodeProgress = std::function<void(const EnvelopeWriter& writer, DecodeStage stage)>;

struct DecodeOptions {
    // A recording at least this long is sampled quickly first, since its full
    // decode takes a while; a shorter one is decoded at once.
    double samplingFromSeconds = 300;
    int probes = 400;
    double probeSeconds = 0.2;
    double samplingBudgetSeconds = 1.0; // the quick pass gives up after this long
};

// Decodes the first audio stream of `path` into its envelope, on the calling
// thread. `cancelled` is read after every packet, and inside FFmpeg's reads.
DecodeOutcome decodeEnvelope(const QString& path, const std::atomic<bool>& cancelled, const DecodeProgress& progress,
                             Envelope* result, const DecodeOptions& options = {});

} // namespace tavrin
