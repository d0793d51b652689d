#include "player/passage_loop.h"

#include "desktop/app_texts.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tavrin {

namespace {

const QString kTooShort = QStringLiteral("循环段太短：起点和终点至少要相隔0.5秒。请播放到更远处再按F7。");
const QString kPassageTooShort =
    QStringLiteral("这一段不能循环：从它的时间标记到下一个时间标记不到0.5秒，或者它的时间已在录音结尾之后。");

} // namespace

LoopKeyAction decideLoopKey(std::optional<double> markedStart, bool looping, double position)
{
    if (looping)
        return LoopKeyAction::EndLoop;
    if (!markedStart)
        return LoopKeyAction::MarkStart;
    // Stepped back past the start, the two presses still mark one passage.
    if (std::abs(position - *markedStart) < kShortestLoopSeconds)
        return LoopKeyAction::RefuseTooShort;
    return LoopKeyAction::SetLoop;
}

PassageLoop::PassageLoop(MediaPlayer& player, ShowPlainMessage showMessage, QObject* parent)
    : QObject(parent)
    , player_(player)
    , showMessage_(std::move(showMessage))
{
    connect(&player_, &MediaPlayer::loopChanged, this, &PassageLoop::forgetWhenEnded);
    connect(&player_, &MediaPlayer::urlChanged, this, [this] {
        markedStart_.reset();
        Q_EMIT endsChanged();
    });
}

void PassageLoop::press()
{
    if (player_.url().isEmpty()) {
        showMessage_(texts::kNothingLoaded.toString());
        return;
    }
    const double position = player_.currentPosition();
    switch (decideLoopKey(markedStart_, player_.loop().has_value(), position)) {
    case LoopKeyAction::MarkStart:
        markedStart_ = position;
        Q_EMIT endsChanged();
        break;
    case LoopKeyAction::SetLoop:
        setLoopTo(position);
        break;
    case LoopKeyAction::RefuseTooShort:
        showMessage_(kTooShort);
        break;
    case LoopKeyAction::EndLoop:
        player_.clearLoop();
        break;
    }
}

void PassageLoop::pressForPassage(double start, std::optional<double> end)
{
    if (player_.url().isEmpty()) {
        showMessage_(texts::kNothingLoaded.toString());
        return;
    }
    if (player_.loop()) {
        player_.clearLoop();
        return;
    }
    if (!passageEnds(start, end)) {
        showMessage_(kPassageTooShort);
        return;
    }
    moveToPassage(start, end);
    player_.play();
}

bool PassageLoop::loopsAPassage() const
{
    const std::optional<MediaPlayer::Loop> loop = player_.loop();
    return loop && passageLoop_ && loop->start == passageLoop_->start && loop->end == passageLoop_->end;
}

void PassageLoop::moveToPassage(double start, std::optional<double> end)
{
    const std::optional<MediaPlayer::Loop> ends = passageEnds(start, end);
    if (!ends) {
        // Walked to a passage that cannot be looped: the loop ends rather than
        // pull playback back to the passage left.
        player_.clearLoop();
        player_.setCurrentPosition(start);
        return;
    }
    // The loop first: a seek to the new passage's start is inside it, and so keeps it.
    player_.setLoop(*ends);
    passageLoop_ = player_.loop();
    player_.setCurrentPosition(ends->start);
}

std::optional<MediaPlayer::Loop> PassageLoop::passageEnds(double start, std::optional<double> end) const
{
    const double length = std::max(player_.duration(), 0.0);
    const double from = std::clamp(start, 0.0, length);
    const double to = std::clamp(end.value_or(length), 0.0, length);
    if (to - from < kShortestLoopSeconds)
        return std::nullopt;
    return MediaPlayer::Loop{from, to};
}

void PassageLoop::setLoopTo(double position)
{
    const double start = *markedStart_;
    player_.setLoop({start, position});
    // Set at the position, the end is where playback already is: libmpv would
    // only loop once playback came to it from inside, so it goes round now.
    if (position > start)
        player_.setCurrentPosition(start);
}

void PassageLoop::forgetWhenEnded()
{
    // Set or ended, by this command or by a seek out of the loop: the mark
    // of the first press has served.
    markedStart_.reset();
    if (!player_.loop())
        passageLoop_.reset();
    Q_EMIT endsChanged();
}

std::optional<double> PassageLoop::start() const
{
    if (const auto loop = player_.loop())
        return loop->start;
    return markedStart_;
}

std::optional<double> PassageLoop::end() const
{
    if (const auto loop = player_.loop())
        return loop->end;
    return std::nullopt;
}

} // namespace tavrin
