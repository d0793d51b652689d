#pragma once

#include <QByteArray>
#include <QStringView>

#include <string_view>
#include <vector>

namespace tavrin {

// The XML of one part of a document package, written straight in UTF-8 into
// chunks of about a megabyte that the zip then reads as they are: a 20 MB
// transcript is never held as one string, nor converted once more.
class XmlChunks {
public:
    // How blanks and tabs in text are written.
    enum class Blanks {
        AsIs,        // as they are (Word keeps them in runs marked xml:space="preserve")
        OpenDocument // a tab as <text:tab/>, a blank after a blank or at the paragraph's start as <text:s/>
    };

    explicit XmlChunks(Blanks blanks = Blanks::AsIs);

    // Markup as it is, in ASCII.
    void appendMarkup(std::string_view markup);
    // Text as XML 1.0 can hold it: '&', '<' and '>' escaped; control characters
    // (line breaks too: a paragraph is written as paragraphs) left out; a
    // character XML cannot hold at all (U+FFFE, U+FFFF, half a surrogate pair)
    // written as U+FFFD, so that readers, which refuse the whole file for one
    // of them, still read it and the place stays visible.
    void appendText(QStringView text);
    // A new paragraph begins: with Blanks::OpenDocument, its first blank must be kept explicitly.
    void startParagraph() { afterBlank_ = true; }

    // The chunks written, in order; the object is empty afterwards.
    std::vector<QByteArray> take();

private:
    char* reserve(qsizetype bytes);
    void appendSlice(QStringView text);

    Blanks blanks_;
    bool afterBlank_ = true;
    std::vector<QByteArray> chunks_;
};

// The bytes of `chunks` one after the other (for tests and small parts).
QByteArray joined(const std::vector<QByteArray>& chunks);

} // namespace tavrin
