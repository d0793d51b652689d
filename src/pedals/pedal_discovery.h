#pragma once

#include "pedals/known_pedals.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tavrin {

inline constexpr char kInputDeviceFolder[] = "/dev/input";

// The event devices there are now (/dev/input/event0, ...).
QStringList inputEventNodes();

// A device's USB ID from sysfs, which anyone may read, so that a pedal is told
// from a keyboard without opening either; nullopt for a node that is no input
// event device or has none.
std::optional<UsbId> sysfsUsbId(const QString& eventNode);

// Whether the device at the node is a known pedal.
bool isKnownPedalNode(const QString& eventNode);

} // namespace tavrin
