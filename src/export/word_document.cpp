#include "export/word_document.h"

#include "export/xml_chunks.h"
#include "export/zip_package.h"

#include <string_view>

namespace tavrin {

namespace {

constexpr char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(</Types>)";

constexpr char kPackageRelationships[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" )"
    R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" )"
    R"(Target="word/document.xml"/>)"
    R"(</Relationships>)";

// Whether a run's text reads the same when Word folds its blanks (at its
// ends, and several in a row) as it does unless told to keep them.
bool keepsItsBlanks(QStringView text)
{
    return text.isEmpty()
        || (!text.front().isSpace() && !text.back().isSpace() && !text.contains(u"  ") && !text.contains(u'\t'));
}

void appendRun(XmlChunks& xml, QStringView text, std::string_view properties)
{
    xml.appendMarkup("<w:r>");
    if (!properties.empty()) {
        xml.appendMarkup("<w:rPr>");
        xml.appendMarkup(properties);
        xml.appendMarkup("</w:rPr>");
    }
    xml.appendMarkup(keepsItsBlanks(text) ? "<w:t>" : "<w:t xml:space=\"preserve\">");
    xml.appendText(text);
    xml.appendMarkup("</w:t></w:r>");
}

std::string_view propertiesOf(TextSpan::Kind kind)
{
    switch (kind) {
    case TextSpan::Kind::Speaker:
        return "<w:b/>";
    case TextSpan::Kind::Mark:
        return "<w:color w:val=\"808080\"/>"; // grey
    case TextSpan::Kind::Words:
        break;
    }
    return {};
}

std::vector<QByteArray> documentXml(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    XmlChunks xml;
    xml.appendMarkup(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                     R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
                     R"(<w:body><w:p>)");
    appendRun(xml, title, "<w:b/><w:sz w:val=\"32\"/>"); // 16 points
    xml.appendMarkup("</w:p>");
    for (const ExportParagraph& paragraph : paragraphs) {
        xml.appendMarkup("<w:p>");
        for (const TextSpan& span : paragraph)
            appendRun(xml, span.text, propertiesOf(span.kind));
        xml.appendMarkup("</w:p>");
    }
    xml.appendMarkup("</w:body></w:document>");
    return xml.take();
}

} // namespace

QByteArray wordDocumentBytes(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    return zipPackage(
        {{"[Content_Types].xml", {QByteArray::fromRawData(kContentTypes, sizeof kContentTypes - 1)}},
         {"_rels/.rels", {QByteArray::fromRawData(kPackageRelationships, sizeof kPackageRelationships - 1)}},
         {"word/document.xml", documentXml(title, paragraphs)}});
}

} // namespace tavrin
