#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QMetaType>

#include <linux/input.h>

#include <array>

namespace tavrin {

enum class PedalButton {
    Left,
    Middle,
    Right
};

struct PedalChange {
    PedalButton button;
    bool pressed; // false: released

    friend bool operator==(const PedalChange&, const PedalChange&) = default;
};

// The pedals' positions by the key codes a device reports: the lowest code is
// the left pedal, the next the middle one, the next the right one. Codes past
// the third (a fourth pedal) and repeated codes have no position.
QHash<int, PedalButton> pedalPositions(QList<int> buttonCodes);

// The pedals' positions as the user names their keys, left to right: for a
// pedal that reports a whole keyboard's keys, whose lowest codes are not its pedals.
QHash<int, PedalButton> namedPedalPositions(const QList<int>& keysFromLeft);

// Turns a pedal's input events (the kernel's struct input_event records) into
// presses and releases of its pedals. A key's auto-repeat (value 2) is no new
// press: the player keeps its own repeat timing. A press of a pedal already
// down and a release of one already up change nothing.
//
// SYN_DROPPED means the kernel's queue overflowed and events were lost, so
// which pedals are down is no longer known. A byte stream cannot be asked for
// its state again, so every pedal held is released then: one stuck down would
// keep the recording playing with no foot on it, while one released too early
// only stops it until the next press. A real device is brought back in step by
// libevdev instead, which sends only the changes (see PedalSource).
class PedalEventDecoder {
public:
    explicit PedalEventDecoder(const QList<int>& buttonCodes);

    QList<PedalChange> feed(const input_event& event);

    // Bytes as read() gives them from a stream of input_event records; a record
    // cut short is kept until the rest of it comes.
    QList<PedalChange> feedBytes(QByteArrayView bytes);

    // Positions from now on; every pedal held is released first.
    QList<PedalChange> usePositions(const QHash<int, PedalButton>& positions);

    // Releases every pedal held, as when the device has gone.
    QList<PedalChange> releaseAll();

    bool isDown(PedalButton button) const { return held_[int(button)]; }

private:
    QList<PedalChange> feedKey(int code, int value);

    QHash<int, PedalButton> positions_;
    std::array<bool, 3> held_{}; // by PedalButton
    QByteArray partialRecord_;
};

} // namespace tavrin

Q_DECLARE_METATYPE(tavrin::PedalButton)
