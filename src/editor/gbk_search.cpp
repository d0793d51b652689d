#include "editor/gbk_search.h"

#include "encoding/gbk_codec.h"

#include <array>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

struct ByteTally {
    quint32 latin = 0;
    quint32 high = 0;

    void add(unsigned char byte)
    {
        latin += quint32(unsigned(byte - 0x21) < 0x5Eu);
        high += quint32(byte >= 0x7F);
    }
};

// For every character of the Basic Multilingual Plane, how its GBK bytes count:
// Latin bytes in the low nibble, high bytes in the high one.
using ByteClassTable = std::array<quint8, 0x10000>;

ByteClassTable buildByteClasses()
{
    ByteClassTable classes{};
    QString all;
    all.reserve(0x10000);
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (!QChar::isSurrogate(c))
            all.append(QChar(char16_t(c)));
    }
    const QByteArray bytes = encodeGbk(all);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    qsizetype at = 0;
    for (const QChar c : std::as_const(all)) {
        // One byte below 0x80 (and the euro sign's 0x80); a lead byte followed by a
        // digit starts four bytes, any other lead byte two.
        const qsizetype length = data[at] <= 0x80 ? 1 : (data[at + 1] >= 0x30 && data[at + 1] <= 0x39 ? 4 : 2);
        ByteTally tally;
        for (qsizetype i = 0; i < length; ++i)
            tally.add(data[at + i]);
        classes[c.unicode()] = quint8(tally.latin | tally.high << 4);
        at += length;
    }
    return classes;
}

// A lone surrogate is written as the replacement character (84 31 A4 37):
// high, digit, high, digit.
constexpr quint8 kLoneSurrogateClass = 2 | 2 << 4;

quint8 byteClassOf(QStringView character)
{
    ByteTally tally;
    for (const char byte : encodeGbk(character))
        tally.add(static_cast<unsigned char>(byte));
    return quint8(tally.latin | tally.high << 4);
}

} // namespace

CharacterCounts countGbkBytes(QByteArrayView gbkBytes)
{
    // Fixed-length blocks with narrow, branch-free tallies are what the compiler
    // vectorises even at -O2; the tallies go into the wide totals once per block.
    constexpr qsizetype kBlock = 256;
    const auto* data = reinterpret_cast<const unsigned char*>(gbkBytes.data());
    const qsizetype size = gbkBytes.size();
    qint64 latin = 0;
    qint64 high = 0;
    qsizetype pos = 0;
    for (; pos + kBlock <= size; pos += kBlock) {
        ByteTally tally;
        for (qsizetype i = 0; i < kBlock; ++i)
            tally.add(data[pos + i]);
        latin += tally.latin;
        high += tally.high;
    }
    ByteTally rest;
    for (; pos < size; ++pos)
        rest.add(data[pos]);
    latin += rest.latin;
    high += rest.high;
    return {high / 2, latin};
}

CharacterCounts countCharacters(QStringView text)
{
    static const ByteClassTable classes = buildByteClasses();
    qint64 latin = 0;
    qint64 high = 0;
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const char16_t c = *p++;
        quint8 counted = 0;
        if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            // Rare in a transcript, and not all four bytes long (FE 51 is U+20087).
            counted = byteClassOf(QStringView(p - 1, 2));
            ++p;
        } else if (QChar::isSurrogate(c)) {
            counted = kLoneSurrogateClass;
        } else {
            counted = classes[c];
        }
        latin += counted & 0x0F;
        high += counted >> 4;
    }
    return {high / 2, latin};
}

QString countMessage(CharacterCounts counts)
{
    return u"汉字及中文符号："_s + QString::number(counts.chinese) + u'\r' + u"数字字母及英文符号："_s
        + QString::number(counts.latin);
}

QString trimmedSearchKeyword(QStringView keyword)
{
    qsizetype begin = 0;
    qsizetype end = keyword.size();
    while (begin < end && keyword[begin].unicode() <= 32)
        ++begin;
    while (end > begin && keyword[end - 1].unicode() <= 32)
        --end;
    return keyword.sliced(begin, end - begin).toString();
}

qsizetype findKeyword(QStringView text, QStringView keyword, qsizetype from)
{
    if (keyword.isEmpty() || from < 0 || from > text.size())
        return -1;
    return text.indexOf(keyword, from, Qt::CaseSensitive);
}

} // namespace tavrin
