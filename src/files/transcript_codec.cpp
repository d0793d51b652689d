#include "files/transcript_codec.h"

#include "encoding/gbk_codec.h"
#include "encoding/utf_decoding.h"

namespace tavrin {
namespace {

bool startsWith(QByteArrayView bytes, QByteArrayView prefix)
{
    return bytes.size() >= prefix.size() && bytes.first(prefix.size()) == prefix;
}

// A byte from 0xE0 up: in valid UTF-8, the lead of a three- or four-byte sequence.
bool hasUtf8LongSequence(QByteArrayView utf8)
{
    for (const char byte : utf8) {
        if (static_cast<uchar>(byte) >= 0xE0)
            return true;
    }
    return false;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (static_cast<uchar>(byte) >= 0x80)
            return false;
    }
    return true;
}

QString withCrLf(QStringView text)
{
    const qsizetype lineFeeds = text.count(u'\n');
    QString out(text.size() + lineFeeds, Qt::Uninitialized);
    char16_t* w = reinterpret_cast<char16_t*>(out.data());
    for (const QChar c : text) {
        if (c == u'\n')
            *w++ = u'\r';
        *w++ = c.unicode();
    }
    return out;
}

} // namespace

QByteArray encodeTranscript(QStringView editorText)
{
    return encodeGbk(withCrLf(editorText));
}

DecodedTranscript decodeTranscript(QByteArrayView fileBytes)
{
    static constexpr char utf8Bom[] = "\xEF\xBB\xBF";
    static constexpr char utf16LeBom[] = "\xFF\xFE";
    static constexpr char utf16BeBom[] = "\xFE\xFF";

    DecodedTranscript result{QString(), TranscriptEncoding::Gbk, 0, false};
    QString text;
    if (startsWith(fileBytes, utf8Bom)) {
        result.encoding = TranscriptEncoding::Utf8Bom;
        text = decodeUtf8(fileBytes.sliced(3), &result.unreadableBytes);
    } else if (startsWith(fileBytes, utf16LeBom)) {
        result.encoding = TranscriptEncoding::Utf16LeBom;
        text = decodeUtf16(fileBytes.sliced(2), false, &result.unreadableBytes);
    } else if (startsWith(fileBytes, utf16BeBom)) {
        result.encoding = TranscriptEncoding::Utf16BeBom;
        text = decodeUtf16(fileBytes.sliced(2), true, &result.unreadableBytes);
    } else if (std::optional<QString> utf8; hasUtf8LongSequence(fileBytes) && (utf8 = decodeStrictUtf8(fileBytes))) {
        // Strict UTF-8 holding a three- or four-byte sequence (every Chinese
        // character in UTF-8) is UTF-8, although Chinese UTF-8 is very often
        // well-formed GB18030 too (你好 is E4 BD A0 E5 A5 BD). Text of two-byte
        // sequences only is always well-formed GBK as well; there GBK wins, so that
        // this program's own files read back as written (说 alone is CB B5).
        result.encoding = TranscriptEncoding::Utf8;
        text = *std::move(utf8);
    } else {
        text = decodeGbk(fileBytes, &result.unreadableBytes);
        result.readableAsUtf8Too =
            !hasUtf8LongSequence(fileBytes) && !isAscii(fileBytes) && decodeStrictUtf8(fileBytes).has_value();
    }
    result.text = normalizeLineBreaks(text);
    return result;
}

QString normalizeLineBreaks(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t* w = reinterpret_cast<char16_t*>(out.data());
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const char16_t c = *p++;
        if (c == u'\r') {
            *w++ = u'\n';
            if (p < end && *p == u'\n')
                ++p;
        } else {
            *w++ = c;
        }
    }
    out.truncate(w - reinterpret_cast<char16_t*>(out.data()));
    return out;
}

} // namespace tavrin
