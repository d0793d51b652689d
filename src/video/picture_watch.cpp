#include "video/picture_watch.h"

namespace tavrin {

namespace {

// A longer step forward between two looks is a seek, not sound heard (the
// looks come every quarter second, at rates up to 2.0).
constexpr double kLongestHeardStep = 1.5;

} // namespace

PictureWatch::PictureWatch(double patienceSeconds)
    : patience_(patienceSeconds)
{
}

PictureWatch::Verdict PictureWatch::look(double position, bool frameDecoded)
{
    if (verdict_ == Verdict::Decoding)
        return verdict_;
    if (frameDecoded)
        return verdict_ = Verdict::Decoding;
    if (lastPosition_) {
        const double step = position - *lastPosition_;
        if (step > 0.0 && step <= kLongestHeardStep)
            heard_ += step;
    }
    lastPosition_ = position;
    if (heard_ >= patience_)
        verdict_ = Verdict::Undecodable;
    return verdict_;
}

} // namespace tavrin
