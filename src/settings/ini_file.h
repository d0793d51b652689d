#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace tavrin {

// Reading and editing an INI file as raw GBK bytes, so nothing is ever re-encoded.
//
// How a file is read:
// - Lines end at CR LF, LF or a lone CR. A UTF-8 byte-order mark at the very start is
//   skipped for reading and kept on writing.
// - "Blanks" are spaces and tabs. A line whose first non-blank byte is "[" opens a
//   section; its name runs to the first "]" that is not the second byte of a
//   double-byte character (or to the line end), without surrounding blanks.
//   Whatever follows that "]" is ignored.
// - A line whose first non-blank byte is ";" or "#" is a comment. Any other line with
//   an "=" is an entry: the key is what stands before the first "=", the value what
//   follows it, both without surrounding blanks (so " 5" reads as "5"). Quotes are
//   part of the value. Lines without "=" and lines before the first section are
//   ignored, but kept.
// - Section and key names are compared without regard to the case of ASCII letters;
//   the bytes of a double-byte GBK character are compared exactly, because its
//   second byte may look like a letter. Given names are used without surrounding blanks.
// - Only the first section of a name counts, and in it only the first entry of a key,
//   for reading and writing alike, so a write is always what the next read sees.

// The value of `key` in `section`, or nullopt when the section or the key is missing.
std::optional<QByteArray> iniValue(QByteArrayView file, QByteArrayView section, QByteArrayView key);

// `file` with `key` in `section` set to `value`; every other byte stays as it was.
// - An existing entry keeps its key and "=", and everything after the "=" up to the
//   line end is replaced by the value.
// - A new entry goes right after the last entry (or other non-comment line) of its
//   section, so blank lines and comments that trail the section stay below it; in an
//   empty section it follows the header.
// - A missing section is appended at the end of the file with its entry.
// - Added lines use the file's own line break (that of its first line), CR LF when
//   the file has none, and always end with one; after a last line that has none, a
//   line break is put first.
// Throws std::invalid_argument, leaving nothing written, for a value with CR or LF,
// for a key that is empty, holds "=", CR or LF, or starts with "[", ";" or "#", and
// for a section name with CR, LF or "]", or that ends in the first byte of a
// double-byte character: such a file would not read back as written.
QByteArray iniWithValue(QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value);

} // namespace tavrin
