#pragma once

namespace tavrin {

// Listening aids for hard recordings, each on or off, applied together while playing.
struct ListeningAids {
    bool volumeBoost = false;       // 音量增强: 300 %, held below full scale
    bool loudnessLevelling = false; // 响度均衡: quiet speech raised, loud speech held
    bool noiseReduction = false;    // 降噪
    bool voiceBand = false;         // 人声频段: only about 100 Hz to 4 kHz

    bool operator==(const ListeningAids&) const = default;
    bool any() const { return volumeBoost || loudnessLevelling || noiseReduction || voiceBand; }
};

} // namespace tavrin
