#include "export/xml_chunks.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tavrin {

namespace {

constexpr qsizetype kChunkBytes = qsizetype(1) << 20;
// Text is written a slice at a time, so that room for its worst case is small.
constexpr qsizetype kSliceUnits = qsizetype(1) << 14;
// The most one UTF-16 unit of text can become: "<text:tab/>".
constexpr qsizetype kMostBytesPerUnit = 11;
constexpr char32_t kReplacement = 0xFFFD;

char* put(char* out, std::string_view bytes)
{
    std::memcpy(out, bytes.data(), bytes.size());
    return out + bytes.size();
}

char* putUtf8(char* out, char32_t c)
{
    if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
    } else {
        *out++ = char(0xF0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3F));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
    }
    *out++ = char(0x80 | (c & 0x3F));
    return out;
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c < 0xDC00;
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c < 0xE000;
}

} // namespace

XmlChunks::XmlChunks(Blanks blanks)
    : blanks_(blanks)
{
}

char* XmlChunks::reserve(qsizetype bytes)
{
    if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < bytes) {
        chunks_.emplace_back();
        chunks_.back().reserve(std::max(kChunkBytes, bytes));
    }
    QByteArray& chunk = chunks_.back();
    const qsizetype used = chunk.size();
    chunk.resize(used + bytes); // within the capacity: no copy, and the new bytes are not cleared
    return chunk.data() + used;
}

void XmlChunks::appendMarkup(std::string_view markup)
{
    char* out = put(reserve(qsizetype(markup.size())), markup);
    chunks_.back().resize(out - chunks_.back().constData());
}

void XmlChunks::appendText(QStringView text)
{
    while (!text.isEmpty()) {
        qsizetype slice = std::min(text.size(), kSliceUnits);
        if (slice < text.size() && isHighSurrogate(text[slice - 1].unicode()))
            ++slice; // a pair stays whole
        appendSlice(text.first(slice));
        text = text.sliced(slice);
    }
}

void XmlChunks::appendSlice(QStringView text)
{
    char* out = reserve(text.size() * kMostBytesPerUnit);
    const bool openDocument = blanks_ == Blanks::OpenDocument;
    const char16_t* units = text.utf16();
    const qsizetype count = text.size();
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = units[i];
        const bool blank = c == u' ';
        if (c >= 0x80) {
            char32_t code = c;
            if (isHighSurrogate(c) && i + 1 < count && isLowSurrogate(units[i + 1]))
                code = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(units[++i]) - 0xDC00);
            else if (isHighSurrogate(c) || isLowSurrogate(c) || c >= 0xFFFE)
                code = kReplacement;
            out = putUtf8(out, code);
        } else if (c == u'&') {
            out = put(out, "&amp;");
        } else if (c == u'<') {
            out = put(out, "&lt;");
        } else if (c == u'>') {
            out = put(out, "&gt;");
        } else if (c == u'\t') {
            out = openDocument ? put(out, "<text:tab/>") : put(out, "\t");
        } else if (blank && openDocument && afterBlank_) {
            out = put(out, "<text:s/>");
        } else if (c >= 0x20) {
            *out++ = char(c);
        } else {
            continue; // a control character: not text a document shows
        }
        afterBlank_ = blank || c == u'\t';
    }
    chunks_.back().resize(out - chunks_.back().constData());
}

std::vector<QByteArray> XmlChunks::take()
{
    afterBlank_ = true;
    return std::exchange(chunks_, {});
}

QByteArray joined(const std::vector<QByteArray>& chunks)
{
    QByteArray bytes;
    for (const QByteArray& chunk : chunks)
        bytes += chunk;
    return bytes;
}

} // namespace tavrin
