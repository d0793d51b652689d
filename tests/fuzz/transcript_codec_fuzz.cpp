// Transcript files of any bytes, and any editor text through GBK and back.
#include "encoding/gbk_codec.h"
#include "files/transcript_codec.h"
#include "fuzz_support.h"

#include <QString>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr QChar kReplacement(0xFFFD);

bool hasUnpairedSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

// Six private-use characters that GB18030-2022 dropped have no code that reads back
// as themselves; they are written as the Extension B ideographs that replaced them.
char32_t standInFor(char16_t c)
{
    switch (c) {
    case 0xE816:
        return 0x20087;
    case 0xE817:
        return 0x20089;
    case 0xE818:
        return 0x200CC;
    case 0xE831:
        return 0x215D7;
    case 0xE83B:
        return 0x2298F;
    case 0xE855:
        return 0x241FE;
    default:
        return 0;
    }
}

// The text as it reads back once written: each unpaired surrogate as U+FFFD, the
// dropped private-use characters as their ideographs.
QString asReadBack(QStringView text, qsizetype* unpaired = nullptr)
{
    QString out;
    out.reserve(text.size());
    qsizetype replaced = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append(c).append(text[++i]);
        } else if (c.isSurrogate()) {
            out.append(kReplacement);
            ++replaced;
        } else if (const char32_t standIn = standInFor(c.unicode())) {
            out.append(QChar::highSurrogate(standIn)).append(QChar::lowSurrogate(standIn));
        } else {
            out.append(c);
        }
    }
    if (unpaired)
        *unpaired = replaced;
    return out;
}

void checkReading(QByteArrayView bytes)
{
    const tavrin::DecodedTranscript read = tavrin::decodeTranscript(bytes);
    FUZZ_CHECK(!read.text.contains(u'\r'));
    FUZZ_CHECK(!hasUnpairedSurrogate(read.text));
    FUZZ_CHECK(read.unreadableBytes >= 0 && read.unreadableBytes <= bytes.size());
    // Each unreadable byte (each pair in UTF-16) shows as a U+FFFD of its own.
    const qsizetype shown = read.text.count(kReplacement);
    if (read.encoding == tavrin::TranscriptEncoding::Utf16LeBom
        || read.encoding == tavrin::TranscriptEncoding::Utf16BeBom)
        FUZZ_CHECK(2 * shown >= read.unreadableBytes);
    else
        FUZZ_CHECK(shown >= read.unreadableBytes);
    if (read.encoding == tavrin::TranscriptEncoding::Utf8)
        FUZZ_CHECK(read.unreadableBytes == 0);

    // Saving what was read keeps every character GB18030 has. Reading the saved file back gives
    // the same text unless the saved GBK happens to be valid UTF-8 as well.
    const QByteArray saved = tavrin::encodeTranscript(read.text);
    const QString expected = asReadBack(read.text);
    FUZZ_CHECK(tavrin::normalizeLineBreaks(tavrin::decodeGbk(saved)) == expected);
    const tavrin::DecodedTranscript reread = tavrin::decodeTranscript(saved);
    if (reread.encoding == tavrin::TranscriptEncoding::Gbk)
        FUZZ_CHECK(reread.text == expected && reread.unreadableBytes == 0);

    // Decoding as GBK, then encoding and decoding again, settles at once.
    const QString gbkText = tavrin::decodeGbk(bytes);
    FUZZ_CHECK(tavrin::decodeGbk(tavrin::encodeGbk(gbkText)) == gbkText);
}

void checkEncoding(QStringView text)
{
    qsizetype unpaired = 0;
    const QString expected = asReadBack(text, &unpaired);
    qsizetype replaced = -1;
    const QByteArray bytes = tavrin::encodeGbk(text, &replaced);
    FUZZ_CHECK(replaced == unpaired);
    qsizetype unreadable = -1;
    FUZZ_CHECK(tavrin::decodeGbk(bytes, &unreadable) == expected);
    FUZZ_CHECK(unreadable == 0);
}

void checkLineBreaks(QStringView text)
{
    const QString normalized = tavrin::normalizeLineBreaks(text);
    QString expected = text.toString();
    expected.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    FUZZ_CHECK(normalized == expected);
    FUZZ_CHECK(tavrin::normalizeLineBreaks(normalized) == normalized);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkReading(bytes);
    // The same bytes as editor text: once as UTF-8, once as raw UTF-16 units, which
    // brings unpaired surrogates and lone CRs.
    checkEncoding(QString::fromUtf8(bytes));
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size_t(units.size()) * sizeof(char16_t));
    checkEncoding(units);
    checkLineBreaks(units);
    return 0;
}
