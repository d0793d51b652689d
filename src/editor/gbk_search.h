#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

namespace tavrin {

// The editor's text as GB18030/GBK bytes, with a sparse table built once so that
// positions can be mapped between the bytes and the text's UTF-16 units cheaply
// (each mapping walks at most one block of about a kilobyte). Keep one per text.
//
// A character is one unit, except a four-byte sequence with first byte 0x90..0xE3 and
// the few double-byte codes of ideographs above U+FFFF (FE 51 is U+20087), which are
// two. A byte that starts no well-formed sequence counts as a character of its own.
// Mapping is exact for bytes encoded as GB18030 from the text; positions inside a
// character map to the end of it.
class GbkText {
public:
    explicit GbkText(QByteArray gbkBytes);

    const QByteArray& bytes() const { return bytes_; }

    // Byte offset of text position `charPos`, clamped to 0..bytes().size().
    qsizetype byteOffsetOf(qsizetype charPos) const;

    // Text position of byte offset `byteOffset`, clamped to 0..the text's length.
    qsizetype charPosOf(qsizetype byteOffset) const;

    // Byte offset of the first exact occurrence of `needle` at or after `fromByte` that
    // starts on a character boundary (an occurrence starting inside a character, such as
    // 家 inside 录音, is passed over), or -1. An empty needle is never found.
    qsizetype find(QByteArrayView needle, qsizetype fromByte) const;

private:
    struct Checkpoint {
        qsizetype byte = 0;
        qsizetype unit = 0;
    };

    Checkpoint checkpointAtOrBeforeByte(qsizetype byte) const;
    qsizetype boundaryAtOrAfter(qsizetype knownBoundary, qsizetype byte) const;
    qsizetype findByScanning(QByteArrayView needle, qsizetype from, qsizetype knownBoundary) const;

    QByteArray bytes_;
    std::vector<Checkpoint> checkpoints_; // the first character boundary in each block
    qsizetype unitCount_ = 0;
};

struct CharacterCounts {
    qint64 chinese = 0;
    qint64 latin = 0;
};

// Counts every byte on its own: 0x21..0x7E are Latin, 0x7F..0xFF are high bytes and two
// of them make one Chinese character (an odd one left over is dropped); the rest count nothing.
CharacterCounts countCharacters(QByteArrayView gbkBytes);

// The two counts as the count dialog shows them, on two lines split by a single CR.
QString countMessage(CharacterCounts counts);

// The keyword that find next looks for: without leading and trailing characters of code 32 or less.
QString trimmedSearchKeyword(QStringView keyword);

} // namespace tavrin
