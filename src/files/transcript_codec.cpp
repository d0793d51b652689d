#include "files/transcript_codec.h"

#include "encoding/gbk_codec.h"
#include "encoding/utf_decoding.h"

namespace tavrin {
namespace {

bool startsWith(QByteArrayView bytes, QByteArrayView prefix)
{
    return bytes.size() >= prefix.size() && bytes.first(prefix.size()) == prefix;
}

bool hasHighByte(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (static_cast<uchar>(byte) >= 0x80)
            return true;
    }
    return false;
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

    DecodedTranscript result{QString(), TranscriptEncoding::Gbk, 0};
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
    } else if (std::optional<QString> utf8; hasHighByte(fileBytes) && (utf8 = decodeStrictUtf8(fileBytes))) {
        // UTF-8 is tried before GBK on purpose: Chinese UTF-8 is very often also
        // well-formed GB18030 (你好 is E4 BD A0 E5 A5 BD), while GBK text almost never
        // passes as strict UTF-8.
        result.encoding = TranscriptEncoding::Utf8;
        text = *std::move(utf8);
    } else {
        text = decodeGbk(fileBytes, &result.unreadableBytes);
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
