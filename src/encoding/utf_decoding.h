#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tavrin {

// Strictly valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF) to
// text; nothing when any byte breaks those rules.
std::optional<QString> decodeStrictUtf8(QByteArrayView bytes);

// UTF-8 to text, each byte that is not part of a valid sequence becoming one U+FFFD,
// counted in *unreadableBytes.
QString decodeUtf8(QByteArrayView bytes, qsizetype* unreadableBytes);

// UTF-16 in the given byte order to text. An unpaired surrogate becomes U+FFFD and
// counts its two bytes, an odd last byte becomes U+FFFD and counts one.
QString decodeUtf16(QByteArrayView bytes, bool bigEndian, qsizetype* unreadableBytes);

} // namespace tavrin
