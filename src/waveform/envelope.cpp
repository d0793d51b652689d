#include "waveform/envelope.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace tavrin {

struct EnvelopeStore {
    std::unique_ptr<EnvelopeValue[]> values;
    qint64 valueCapacity = 0;
    std::unique_ptr<EnvelopeProbe[]> probes;
    qint64 probeCapacity = 0;
};

namespace {

// The squared amplitude of every level, for the mean square of a column.
const std::array<float, 256>& squaredAmplitudes()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> squares{};
        for (int level = 0; level < 256; ++level)
            squares[level] = envelopeAmplitude(std::uint8_t(level)) * envelopeAmplitude(std::uint8_t(level));
        return squares;
    }();
    return table;
}

// A container's length that is a little short must not cost a move of the store.
constexpr double kRoomBeyondDuration = 1.02;
constexpr qint64 kSmallestStore = 1024;
// The most room made from a container's length before any sound is decoded.
constexpr qint64 kLargestFirstStore = qint64(3600) * kEnvelopeValuesPerSecond;
// Beyond this, a value's index would not fit the arithmetic of a column's stretch.
constexpr double kFarthestIndex = 1e15;

} // namespace

std::uint8_t envelopeLevel(float amplitude)
{
    const float clamped = std::clamp(amplitude, 0.0f, 1.0f);
    return std::uint8_t(std::lround(255.0f * std::sqrt(clamped)));
}

float envelopeAmplitude(std::uint8_t level)
{
    const float root = float(level) / 255.0f;
    return root * root;
}

std::span<const EnvelopeValue> Envelope::values() const
{
    return store_ ? std::span<const EnvelopeValue>(store_->values.get(), std::size_t(count_))
                  : std::span<const EnvelopeValue>();
}

std::span<const EnvelopeProbe> Envelope::probes() const
{
    return store_ ? std::span<const EnvelopeProbe>(store_->probes.get(), std::size_t(probeCount_))
                  : std::span<const EnvelopeProbe>();
}

EnvelopeColumn Envelope::exactColumn(qint64 from, qint64 to) const
{
    const auto& squares = squaredAmplitudes();
    const EnvelopeValue* values = store_->values.get();
    std::uint8_t peak = 0;
    double sumOfSquares = 0;
    for (qint64 i = from; i < to; ++i) {
        peak = std::max(peak, values[i].peak);
        sumOfSquares += squares[values[i].rms];
    }
    const float meanSquare = to > from ? float(sumOfSquares / double(to - from)) : 0.0f;
    return {peak, envelopeLevel(std::sqrt(meanSquare)), ColumnSource::Exact};
}

// The probes inside the stretch, or else the one nearest to it.
EnvelopeColumn Envelope::coarseColumn(qint64 from, qint64 to) const
{
    const std::span<const EnvelopeProbe> all = probes();
    if (all.empty())
        return {};
    const auto byIndex = [](const EnvelopeProbe& probe, qint64 index) { return probe.index < index; };
    auto first = std::lower_bound(all.begin(), all.end(), from, byIndex);
    auto last = std::lower_bound(first, all.end(), to, byIndex);
    if (first == last) {
        const qint64 middle = (from + to) / 2;
        if (first == all.end() || (first != all.begin() && middle - std::prev(first)->index < first->index - middle))
            --first;
        last = std::next(first);
    }
    const auto& squares = squaredAmplitudes();
    std::uint8_t peak = 0;
    double sumOfSquares = 0;
    for (auto probe = first; probe != last; ++probe) {
        peak = std::max(peak, probe->value.peak);
        sumOfSquares += squares[probe->value.rms];
    }
    const float meanSquare = float(sumOfSquares / double(last - first));
    return {peak, envelopeLevel(std::sqrt(meanSquare)), ColumnSource::Coarse};
}

std::vector<EnvelopeColumn> Envelope::columnsFor(int width, double durationSeconds) const
{
    std::vector<EnvelopeColumn> columns(std::size_t(std::max(width, 0)));
    // The player's length may be a header's: neither a NaN nor a year of days may reach the arithmetic.
    if (width <= 0 || !(durationSeconds > 0) || !store_)
        return columns;
    const double valuesPerColumn = std::min(durationSeconds * kEnvelopeValuesPerSecond, kFarthestIndex) / width;
    for (int column = 0; column < width; ++column) {
        const qint64 from = qint64(std::floor(column * valuesPerColumn));
        const qint64 to = std::max(from + 1, qint64(std::floor((column + 1) * valuesPerColumn)));
        if (to <= count_ || (complete_ && from < count_))
            columns[column] = exactColumn(from, std::min(to, count_));
        else if (complete_)
            columns[column] = {0, 0, ColumnSource::Exact}; // past the end of the sound
        else
            columns[column] = coarseColumn(from, to);
    }
    return columns;
}

EnvelopeWriter::EnvelopeWriter(double durationSeconds)
    : store_(std::make_shared<EnvelopeStore>())
    , duration_(std::isfinite(durationSeconds) ? std::max(durationSeconds, 0.0) : 0.0)
{
    const double told =
        std::min(duration_ * kEnvelopeValuesPerSecond * kRoomBeyondDuration, double(kLargestFirstStore));
    reserveValues(std::max(kSmallestStore, qint64(told)));
}

void EnvelopeWriter::reserveValues(qint64 needed)
{
    if (needed > store_->valueCapacity)
        moveStore(std::clamp(2 * store_->valueCapacity, needed, std::max(needed, kMostEnvelopeValues)),
                  store_->probeCapacity);
}

void EnvelopeWriter::reserveProbes(qint64 needed)
{
    if (needed > store_->probeCapacity)
        moveStore(store_->valueCapacity, std::max({needed, 2 * store_->probeCapacity, kSmallestStore}));
}

// Snapshots taken before keep the old store, which is never written again.
void EnvelopeWriter::moveStore(qint64 valueCapacity, qint64 probeCapacity)
{
    auto moved = std::make_shared<EnvelopeStore>();
    moved->values = std::make_unique_for_overwrite<EnvelopeValue[]>(std::size_t(valueCapacity));
    moved->valueCapacity = valueCapacity;
    moved->probes = std::make_unique_for_overwrite<EnvelopeProbe[]>(std::size_t(probeCapacity));
    moved->probeCapacity = probeCapacity;
    if (count_ > 0)
        std::memcpy(moved->values.get(), store_->values.get(), std::size_t(count_) * sizeof(EnvelopeValue));
    if (probeCount_ > 0)
        std::memcpy(moved->probes.get(), store_->probes.get(), std::size_t(probeCount_) * sizeof(EnvelopeProbe));
    store_ = std::move(moved);
}

void EnvelopeWriter::append(EnvelopeValue value)
{
    if (isFull())
        return;
    reserveValues(count_ + 1);
    store_->values[count_++] = value;
}

void EnvelopeWriter::append(std::span<const EnvelopeValue> values)
{
    values = values.first(std::size_t(std::min(qint64(values.size()), kMostEnvelopeValues - count_)));
    reserveValues(count_ + qint64(values.size()));
    if (!values.empty())
        std::memcpy(store_->values.get() + count_, values.data(), values.size() * sizeof(EnvelopeValue));
    count_ += qint64(values.size());
}

void EnvelopeWriter::addProbe(const EnvelopeProbe& probe)
{
    reserveProbes(probeCount_ + 1);
    store_->probes[probeCount_++] = probe;
}

Envelope EnvelopeWriter::snapshot() const
{
    Envelope envelope;
    envelope.store_ = store_;
    envelope.count_ = count_;
    envelope.probeCount_ = probeCount_;
    envelope.duration_ = duration_;
    envelope.complete_ = complete_;
    return envelope;
}

} // namespace tavrin
