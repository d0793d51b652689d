#pragma once

#include <QMetaType>
#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tavrin {

// The loudness of a whole recording, for drawing it along the seek bar: one value
// for every 10 ms, whatever the recording's rate.
inline constexpr int kEnvelopeValuesPerSecond = 100;
// The most an envelope holds (200 hours, 144 MB): sound decoded beyond it, which a
// small file can hold (long silences compress to almost nothing), is not kept.
inline constexpr qint64 kMostEnvelopeValues = qint64(200) * 3600 * kEnvelopeValuesPerSecond;

// Levels are 8-bit: level = round(255 * sqrt(amplitude)), where amplitude is the
// absolute sample value with full scale at 1. The square root lifts quiet sound
// without flattening the loud: speech at -20 to -40 dBFS (0.1 to 0.01) comes out at
// 81 to 26 of 255, room noise at -60 dBFS at 8, a peak at full scale at 255.
std::uint8_t envelopeLevel(float amplitude);
// The amplitude a level stands for: (level / 255) squared.
float envelopeAmplitude(std::uint8_t level);

// 10 ms of sound: the largest absolute sample over every channel, and the root
// of the mean square over all of them, both as levels.
struct EnvelopeValue {
    std::uint8_t peak = 0;
    std::uint8_t rms = 0;
    bool operator==(const EnvelopeValue&) const = default;
};

// A few hundred milliseconds measured by the quick pass that samples the whole
// recording before the full decode reaches there; `index` is the value it starts at.
struct EnvelopeProbe {
    qint64 index = 0;
    EnvelopeValue value;
};

// Where a pixel column's levels come from.
enum class ColumnSource : std::uint8_t {
    Unknown, // nothing decoded there yet
    Coarse,  // from the quick pass: a sample of the stretch, not all of it
    Exact,   // every value of the stretch
};

// One pixel column: the largest peak and the root of the mean square of its values.
struct EnvelopeColumn {
    std::uint8_t peak = 0;
    std::uint8_t rms = 0;
    ColumnSource source = ColumnSource::Unknown;
};

struct EnvelopeStore;

// What is known of a recording's envelope at one moment: values from the start up
// to valueCount(), and the quick pass's probes. Copying one is cheap: copies share
// the values, which never change once written.
class Envelope {
public:
    Envelope() = default;

    // The recording's length as its container tells it (0 when it does not).
    double durationSeconds() const { return duration_; }
    // Values decoded from the start; all of them once complete.
    qint64 valueCount() const { return count_; }
    bool isComplete() const { return complete_; }
    std::span<const EnvelopeValue> values() const;
    std::span<const EnvelopeProbe> probes() const;

    // One column for each of `width` equal stretches of `durationSeconds` (the
    // player's length of the recording), so that drawing needs nothing else.
    std::vector<EnvelopeColumn> columnsFor(int width, double durationSeconds) const;

private:
    friend class EnvelopeWriter;
    EnvelopeColumn exactColumn(qint64 from, qint64 to) const;
    EnvelopeColumn coarseColumn(qint64 from, qint64 to) const;

    std::shared_ptr<const EnvelopeStore> store_;
    qint64 count_ = 0;
    qint64 probeCount_ = 0;
    double duration_ = 0;
    bool complete_ = false;
};

// Builds an envelope on one thread while snapshots of it are read on others:
// values and probes are only ever appended, and a snapshot reads only those
// written before it was taken. Room is made first for the length the container
// tells, up to an hour's values, so that a header cannot make it take much; running
// out of room moves everything to a store twice as large.
class EnvelopeWriter {
public:
    explicit EnvelopeWriter(double durationSeconds);

    // Values beyond kMostEnvelopeValues are left out; isFull() tells when it is reached.
    void append(EnvelopeValue value);
    void append(std::span<const EnvelopeValue> values);
    bool isFull() const { return count_ >= kMostEnvelopeValues; }
    void addProbe(const EnvelopeProbe& probe);
    void finish() { complete_ = true; }

    qint64 valueCount() const { return count_; }
    qint64 probeCount() const { return probeCount_; }
    Envelope snapshot() const;

private:
    void reserveValues(qint64 needed);
    void reserveProbes(qint64 needed);
    void moveStore(qint64 valueCapacity, qint64 probeCapacity);

    std::shared_ptr<EnvelopeStore> store_;
    qint64 count_ = 0;
    qint64 probeCount_ = 0;
    double duration_ = 0;
    bool complete_ = false;
};

} // namespace tavrin

Q_DECLARE_METATYPE(tavrin::Envelope)
