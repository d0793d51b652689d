#include "pedals/pedal_events.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tavrin {

namespace {

constexpr int kKeyReleased = 0;
constexpr int kKeyPressed = 1;
constexpr std::array kPositionsFromLeft{PedalButton::Left, PedalButton::Middle, PedalButton::Right};

} // namespace

QHash<int, PedalButton> pedalPositions(QList<int> buttonCodes)
{
    std::sort(buttonCodes.begin(), buttonCodes.end());
    buttonCodes.erase(std::unique(buttonCodes.begin(), buttonCodes.end()), buttonCodes.end());
    QHash<int, PedalButton> positions;
    for (qsizetype index = 0; index < buttonCodes.size() && index < qsizetype(kPositionsFromLeft.size()); ++index) {
        positions.insert(buttonCodes[index], kPositionsFromLeft[index]);
    }
    return positions;
}

QHash<int, PedalButton> namedPedalPositions(const QList<int>& keysFromLeft)
{
    QHash<int, PedalButton> positions;
    for (qsizetype index = 0; index < keysFromLeft.size() && index < qsizetype(kPositionsFromLeft.size()); ++index) {
        if (!positions.contains(keysFromLeft[index]))
            positions.insert(keysFromLeft[index], kPositionsFromLeft[index]);
    }
    return positions;
}

PedalEventDecoder::PedalEventDecoder(const QList<int>& buttonCodes)
    : positions_(pedalPositions(buttonCodes))
{
}

QList<PedalChange> PedalEventDecoder::feed(const input_event& event)
{
    if (event.type == EV_SYN && event.code == SYN_DROPPED) {
        return releaseAll();
    }
    if (event.type == EV_KEY) {
        return feedKey(event.code, event.value);
    }
    return {};
}

QList<PedalChange> PedalEventDecoder::feedBytes(QByteArrayView bytes)
{
    partialRecord_.append(bytes);
    QList<PedalChange> changes;
    qsizetype offset = 0;
    for (; offset + qsizetype(sizeof(input_event)) <= partialRecord_.size(); offset += sizeof(input_event)) {
        input_event event;
        std::memcpy(&event, partialRecord_.constData() + offset, sizeof event);
        changes.append(feed(event));
    }
    partialRecord_.remove(0, offset);
    return changes;
}

QList<PedalChange> PedalEventDecoder::usePositions(const QHash<int, PedalButton>& positions)
{
    QList<PedalChange> changes = releaseAll();
    positions_ = positions;
    return changes;
}

QList<PedalChange> PedalEventDecoder::releaseAll()
{
    QList<PedalChange> changes;
    for (PedalButton button : kPositionsFromLeft) {
        if (held_[int(button)]) {
            held_[int(button)] = false;
            changes.append({button, false});
        }
    }
    return changes;
}

QList<PedalChange> PedalEventDecoder::feedKey(int code, int value)
{
    const auto position = positions_.constFind(code);
    if (position == positions_.cend()) {
        return {};
    }
    const PedalButton button = *position;
    bool& down = held_[int(button)];
    if ((value != kKeyPressed && value != kKeyReleased) || down == (value == kKeyPressed)) {
        return {};
    }
    down = value == kKeyPressed;
    return {{button, down}};
}

} // namespace tavrin
