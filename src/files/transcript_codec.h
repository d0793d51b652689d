#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tavrin {

enum class TranscriptEncoding {
    Gbk,
    Utf8,
    Utf8Bom,
    Utf16LeBom,
    Utf16BeBom
};

struct DecodedTranscript {
    QString text;                // line breaks as '\n', ready for the editor
    TranscriptEncoding encoding; // how the bytes were read
    qsizetype unreadableBytes;   // bytes shown as U+FFFD because they were valid in no encoding
    // Read as GBK, though the bytes are strictly valid UTF-8 as well, with characters
    // beyond ASCII of two bytes each: text such as "café" saved as UTF-8 reads so.
    bool readableAsUtf8Too = false;
};

// The editor's text as a transcript file holds it: each '\n' as CR LF, in GBK
// (GB18030 for characters GBK lacks). Nothing is added: an empty text gives no bytes.
QByteArray encodeTranscript(QStringView editorText);

// Any text file's bytes to editor text. A UTF-8 or UTF-16 byte-order mark decides the
// encoding; without one, bytes that are strictly valid UTF-8 and not plain ASCII are
// UTF-8, anything else GBK/GB18030. Line breaks come out as '\n'.
DecodedTranscript decodeTranscript(QByteArrayView fileBytes);

// CR LF, a lone CR and a lone LF each become one '\n' (so LF CR gives two).
QString normalizeLineBreaks(QStringView text);

} // namespace tavrin
