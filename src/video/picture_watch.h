#pragma once

#include <optional>

namespace tavrin {

// Whether a recording's picture decodes, judged against the sound: the first
// frame may take a moment (after opening, after a seek), so a picture is given
// up on only once the sound has played on for a while without one. Seeks and
// pauses count for nothing; only the sound heard does.
class PictureWatch {
public:
    enum class Verdict {
        Waiting,    // no frame yet, and not much sound heard
        Decoding,   // a frame came: final
        Undecodable // the sound played on without a frame; a late frame still makes it Decoding
    };

    explicit PictureWatch(double patienceSeconds = 2.0);

    // One look: the position now, and whether a frame has been decoded.
    Verdict look(double position, bool frameDecoded);

private:
    double patience_;
    double heard_ = 0.0;
    std::optional<double> lastPosition_;
    Verdict verdict_ = Verdict::Waiting;
};

} // namespace tavrin
