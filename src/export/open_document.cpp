#include "export/open_document.h"

#include <QBuffer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <stdexcept>

namespace tavrin {

namespace {

constexpr double kTitlePoints = 16.0;

QTextCharFormat formatOf(TextSpan::Kind kind)
{
    QTextCharFormat format;
    if (kind == TextSpan::Kind::Speaker)
        format.setFontWeight(QFont::Bold);
    if (kind == TextSpan::Kind::Mark)
        format.setForeground(QColor(0x80, 0x80, 0x80));
    return format;
}

} // namespace

QByteArray openDocumentBytes(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    // One edit for the whole: the document settles once, not at every insertion.
    cursor.beginEditBlock();
    QTextCharFormat titleFormat;
    titleFormat.setFontWeight(QFont::Bold);
    titleFormat.setFontPointSize(kTitlePoints);
    cursor.insertText(title, titleFormat);
    const QTextCharFormat formats[] = {formatOf(TextSpan::Kind::Words), formatOf(TextSpan::Kind::Mark),
                                       formatOf(TextSpan::Kind::Speaker)};
    for (const ExportParagraph& paragraph : paragraphs) {
        cursor.insertBlock(QTextBlockFormat(), formats[0]);
        for (const TextSpan& span : paragraph)
            cursor.insertText(span.text, formats[int(span.kind)]);
    }
    cursor.endEditBlock();
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&bytes, "ODF");
    if (!writer.write(&document))
        throw std::runtime_error("Qt could not write the OpenDocument text");
    return bytes.data();
}

} // namespace tavrin
