#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Both directions throw std::runtime_error only when the system lacks glibc's GBK or
// GB18030 converter, which supply the tables.
namespace tavrin {

// Text to the bytes of the program's files: GBK (code page 936) wherever GBK has the
// character, GB18030 (GBK's superset) for the rest, so no character is lost; only the
// six private-use characters U+E816..U+E855 that GB18030-2022 dropped keep their GBK
// codes, which read back as the ideographs that replaced them (FE 51 as U+20087). An
// unpaired surrogate cannot be written at all and becomes U+FFFD (84 31 A4 37);
// *replacedCharacters, when given, receives how many were replaced.
QByteArray encodeGbk(QStringView text, qsizetype* replacedCharacters = nullptr);

// GBK or GB18030 bytes to text. Every byte that is not part of a valid sequence becomes
// one U+FFFD; *unreadableBytes, when given, receives how many there were.
QString decodeGbk(QByteArrayView bytes, qsizetype* unreadableBytes = nullptr);

} // namespace tavrin
