#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tavrin {

// Search and counts over the editor's text, with the meaning they have on the
// text's GBK bytes, computed on the text itself: no click has to encode a long
// transcript first.

struct CharacterCounts {
    qint64 chinese = 0;
    qint64 latin = 0;
};

// Counts every GBK byte on its own: 0x21..0x7E are Latin, 0x7F..0xFF are high
// bytes and two of them make one Chinese character (an odd one left over is
// dropped); the rest count nothing.
CharacterCounts countGbkBytes(QByteArrayView gbkBytes);

// The same counts for the bytes `text` encodes to (encodeGbk), found from a
// table of each character's bytes instead of encoding the text.
CharacterCounts countCharacters(QStringView text);

// The two counts as the count dialog shows them, on two lines split by a single CR.
QString countMessage(CharacterCounts counts);

// The keyword that find next looks for: without leading and trailing characters of code 32 or less.
QString trimmedSearchKeyword(QStringView keyword);

// The first position at or after `from` where `keyword` stands in `text`,
// letter case, full and half width all exact; -1 when there is none or the
// keyword is empty. This is where the keyword's GBK bytes stand byte for byte
// in the text's GBK bytes, starting on a character: GBK gives every character
// bytes of its own, and a match starting inside a character (家 in 录音) is not
// offered, since it would select half a character.
qsizetype findKeyword(QStringView text, QStringView keyword, qsizetype from);

} // namespace tavrin
