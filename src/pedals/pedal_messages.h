#pragma once

#include <QString>

namespace tavrin {

// Why a foot pedal cannot be read, for the user, in Chinese: what is wrong and
// what to do about it, for the errno value that opening the device gave.
QString cannotOpenPedalText(const QString& devicePath, int errnoValue);

} // namespace tavrin
