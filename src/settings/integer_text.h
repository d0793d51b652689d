#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tavrin {

// Reads a stored step length as a signed 32-bit number: leading spaces, one optional
// "+" or "-", then decimal digits or at most eight hexadecimal digits after "$", "x",
// "X", "0x" or "0X" (the 32 bits of the number, so $FFFFFFFF is -1). Nothing may
// follow the digits. Any other text, or a decimal outside the 32-bit range, gives nullopt.
std::optional<qint32> parseInteger(QStringView text);

// The complaint shown when a stored value is not a number: '<text>' is not a valid integer value
QString notValidIntegerMessage(QStringView text);

} // namespace tavrin
