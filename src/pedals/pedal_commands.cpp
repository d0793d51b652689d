#include "pedals/pedal_commands.h"

#include <utility>

namespace tavrin {

PedalCommands::PedalCommands(PedalActions actions, QObject* parent)
    : QObject(parent)
    , actions_(std::move(actions))
{
    for (Stepping* stepping : {&back_, &forward_})
        stepping->repeat.setInterval(kRepeatMs);
    connect(&back_.repeat, &QTimer::timeout, this, [this] { repeatStep(back_, actions_.stepBack); });
    connect(&forward_.repeat, &QTimer::timeout, this, [this] { repeatStep(forward_, actions_.stepForward); });
}

void PedalCommands::setOptions(const PedalOptions& options)
{
    options_ = options;
}

PedalRole PedalCommands::roleOf(int pedal) const
{
    return pedal >= 0 && pedal < kPedalCount ? options_.roles[pedal] : PedalRole::None;
}

bool PedalCommands::run(const std::function<void()>& command)
{
    bool done = false;
    actions_.run([&] {
        command();
        done = true;
    });
    return done;
}

void PedalCommands::press(int pedal)
{
    const PedalRole role = roleOf(pedal);
    if (role == PedalRole::None || down_[pedal] || actions_.blocked())
        return;
    down_[pedal] = true;
    pressedAs_[pedal] = role;
    switch (role) {
    case PedalRole::Play:
        pressPlay();
        break;
    case PedalRole::Back:
        pressStep(back_, actions_.stepBack);
        break;
    case PedalRole::Forward:
        pressStep(forward_, actions_.stepForward);
        break;
    case PedalRole::PreviousPassage:
        run(actions_.previousPassage);
        break;
    case PedalRole::NextPassage:
        run(actions_.nextPassage);
        break;
    case PedalRole::None:
        break;
    }
}

// A release is never ignored, even while blocked: a pedal let go must not go on
// playing or stepping.
void PedalCommands::release(int pedal)
{
    if (pedal < 0 || pedal >= kPedalCount || !down_[pedal])
        return;
    down_[pedal] = false;
    switch (pressedAs_[pedal]) {
    case PedalRole::Play:
        releasePlay();
        break;
    case PedalRole::Back:
        releaseStep(back_);
        break;
    case PedalRole::Forward:
        releaseStep(forward_);
        break;
    case PedalRole::PreviousPassage:
    case PedalRole::NextPassage:
    case PedalRole::None:
        break;
    }
}

void PedalCommands::pressPlay()
{
    if (options_.playMode == PedalPlayMode::Toggle) {
        run(actions_.playPause);
        return;
    }
    if (++playHeld_ == 1 && !actions_.isPlaying())
        run(actions_.playPause);
}

void PedalCommands::releasePlay()
{
    if (playHeld_ == 0)
        return; // pressed in toggle mode
    if (--playHeld_ == 0 && actions_.isPlaying())
        run(actions_.playPause);
}

void PedalCommands::pressStep(Stepping& stepping, const std::function<void()>& step)
{
    ++stepping.held;
    if (run(step))
        stepping.repeat.start();
}

// A step that failed is not tried again while held: its message would come
// again every 0.4 s. Nor is one taken while a message waits for an answer.
void PedalCommands::repeatStep(Stepping& stepping, const std::function<void()>& step)
{
    if (actions_.blocked())
        return;
    if (!run(step))
        stepping.repeat.stop();
}

void PedalCommands::releaseStep(Stepping& stepping)
{
    if (--stepping.held == 0)
        stepping.repeat.stop();
}

} // namespace tavrin
