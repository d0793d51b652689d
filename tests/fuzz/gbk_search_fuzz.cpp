// Find next and the counts on the editor's text: input is "keyword\0text".
#include "editor/gbk_search.h"
#include "encoding/gbk_codec.h"
#include "fuzz_support.h"

#include <QString>

#include <vector>

namespace {

// Texts of any UTF-16 units, lone surrogates included.
QString unitsOf(QByteArrayView bytes)
{
    return QString(reinterpret_cast<const QChar*>(bytes.data()), bytes.size() / 2);
}

// Where each character of `text` starts in its GBK bytes, found by encoding the
// characters one by one, and whether every character has bytes of its own.
struct Boundaries {
    std::vector<qsizetype> byteOfUnit; // for each unit that starts a character; -1 inside a pair
    qsizetype end = 0;
};

Boundaries boundariesOf(const QString& text)
{
    Boundaries boundaries;
    boundaries.byteOfUnit.assign(text.size() + 1, -1);
    qsizetype byte = 0;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        boundaries.byteOfUnit[i] = byte;
        byte += tavrin::encodeGbk(QStringView(text).sliced(i, units)).size();
        i += units;
    }
    boundaries.byteOfUnit[text.size()] = byte;
    boundaries.end = byte;
    return boundaries;
}

// Finding on the text must be finding the keyword's GBK bytes in the text's GBK
// bytes, starting on a character, wherever the encoding gives every character
// bytes of its own (it does not for lone surrogates and the euro sign's two forms).
void checkFind(const QString& text, const QString& keyword)
{
    for (qsizetype from : {qsizetype(0), text.size() / 3, text.size() / 2 + 1, text.size()}) {
        const qsizetype found = tavrin::findKeyword(text, keyword, from);
        if (keyword.isEmpty()) {
            FUZZ_CHECK(found == -1);
            continue;
        }
        FUZZ_CHECK(found == -1 || (found >= from && QStringView(text).sliced(found).startsWith(keyword)));
        const qsizetype naive = text.indexOf(keyword, from);
        FUZZ_CHECK(found == naive);
    }
    bool ownBytes = true;
    for (const QChar c : text + keyword)
        ownBytes = ownBytes && !c.isSurrogate() && c != u'\uFFFD' && c.unicode() != 0x20AC;
    if (!ownBytes || text.size() > 4000 || keyword.isEmpty())
        return;
    const QByteArray bytes = tavrin::encodeGbk(text);
    const QByteArray needle = tavrin::encodeGbk(keyword);
    const Boundaries boundaries = boundariesOf(text);
    qsizetype firstOnBoundary = -1;
    for (qsizetype unit = 0; unit < text.size() && firstOnBoundary < 0; ++unit) {
        const qsizetype byte = boundaries.byteOfUnit[unit];
        if (byte >= 0 && QByteArrayView(bytes).sliced(byte).startsWith(needle))
            firstOnBoundary = unit;
    }
    FUZZ_CHECK(tavrin::findKeyword(text, keyword, 0) == firstOnBoundary);
}

void checkCounts(const QString& text, QByteArrayView bytes)
{
    qint64 latin = 0;
    qint64 high = 0;
    for (char c : bytes) {
        const auto byte = static_cast<uchar>(c);
        latin += byte >= 0x21 && byte <= 0x7E;
        high += byte >= 0x7F;
    }
    const tavrin::CharacterCounts fromBytes = tavrin::countGbkBytes(bytes);
    FUZZ_CHECK(fromBytes.latin == latin && fromBytes.chinese == high / 2);
    const tavrin::CharacterCounts fromText = tavrin::countCharacters(text);
    const tavrin::CharacterCounts fromEncoded = tavrin::countGbkBytes(tavrin::encodeGbk(text));
    FUZZ_CHECK(fromText.latin == fromEncoded.latin && fromText.chinese == fromEncoded.chinese);
}

void checkKeyword(const QString& keyword)
{
    const QString trimmed = tavrin::trimmedSearchKeyword(keyword);
    FUZZ_CHECK(trimmed.isEmpty() || (trimmed.front().unicode() > 32 && trimmed.back().unicode() > 32));
    const qsizetype lead = keyword.indexOf(trimmed);
    FUZZ_CHECK(lead >= 0);
    // Only characters of code 32 or less were taken away.
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        if (i < lead || i >= lead + trimmed.size())
            FUZZ_CHECK(keyword[i].unicode() <= 32);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<QByteArrayView> parts = tavrin::fuzz::splitInput(data, size, 2);
    const QByteArrayView keyword = parts[0], text = parts[1];

    // Text read from bytes as the editor gets it, and text of any UTF-16 units.
    checkFind(tavrin::decodeGbk(text), tavrin::decodeGbk(keyword));
    checkFind(QString::fromUtf8(text), QString::fromUtf8(keyword));
    checkFind(unitsOf(text), unitsOf(keyword));

    checkCounts(unitsOf(text), QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    checkCounts(tavrin::decodeGbk(text), text);
    checkKeyword(QString::fromUtf8(keyword));
    return 0;
}
