#include "export/open_document.h"

#include "export/xml_chunks.h"
#include "export/zip_package.h"

#include <string_view>

namespace tavrin {

namespace {

// Stored first and uncompressed, so that a reader knows the package by its first bytes.
constexpr char kMediaType[] = "application/vnd.oasis.opendocument.text";

constexpr char kManifest[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" )"
    R"(manifest:version="1.2">)"
    R"(<manifest:file-entry manifest:full-path="/" manifest:version="1.2" )"
    R"(manifest:media-type="application/vnd.oasis.opendocument.text"/>)"
    R"(<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>)"
    R"(<manifest:file-entry manifest:full-path="styles.xml" manifest:media-type="text/xml"/>)"
    R"(</manifest:manifest>)";

// The text is Chinese: readers choose its font by the Asian language.
constexpr char kStyles[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<office:document-styles xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
    R"(xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" )"
    R"(xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2">)"
    R"(<office:styles><style:default-style style:family="paragraph">)"
    R"(<style:text-properties style:language-asian="zh" style:country-asian="CN"/>)"
    R"(</style:default-style></office:styles></office:document-styles>)";

// Bold and size are given for each script: Chinese text takes the Asian ones.
constexpr char kContentHead[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
    R"(xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" )"
    R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" )"
    R"(xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2">)"
    R"(<office:automatic-styles>)"
    R"(<style:style style:name="TitleText" style:family="text"><style:text-properties )"
    R"(fo:font-weight="bold" style:font-weight-asian="bold" style:font-weight-complex="bold" )"
    R"(fo:font-size="16pt" style:font-size-asian="16pt" style:font-size-complex="16pt"/></style:style>)"
    R"(<style:style style:name="SpeakerText" style:family="text"><style:text-properties )"
    R"(fo:font-weight="bold" style:font-weight-asian="bold" style:font-weight-complex="bold"/></style:style>)"
    R"(<style:style style:name="MarkText" style:family="text"><style:text-properties fo:color="#808080"/>)"
    R"(</style:style>)"
    R"(</office:automatic-styles><office:body><office:text>)";

constexpr char kContentTail[] = "</office:text></office:body></office:document-content>";

void appendSpan(XmlChunks& xml, QStringView text, std::string_view style)
{
    if (style.empty()) {
        xml.appendText(text);
        return;
    }
    xml.appendMarkup(R"(<text:span text:style-name=")");
    xml.appendMarkup(style);
    xml.appendMarkup(R"(">)");
    xml.appendText(text);
    xml.appendMarkup("</text:span>");
}

std::string_view styleOf(TextSpan::Kind kind)
{
    switch (kind) {
    case TextSpan::Kind::Speaker:
        return "SpeakerText";
    case TextSpan::Kind::Mark:
        return "MarkText";
    case TextSpan::Kind::Words:
        break;
    }
    return {};
}

std::vector<QByteArray> contentXml(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    XmlChunks xml(XmlChunks::Blanks::OpenDocument);
    xml.appendMarkup(kContentHead);
    xml.appendMarkup("<text:p>");
    appendSpan(xml, title, "TitleText");
    xml.appendMarkup("</text:p>");
    for (const ExportParagraph& paragraph : paragraphs) {
        xml.startParagraph();
        xml.appendMarkup("<text:p>");
        for (const TextSpan& span : paragraph)
            appendSpan(xml, span.text, styleOf(span.kind));
        xml.appendMarkup("</text:p>");
    }
    xml.appendMarkup(kContentTail);
    return xml.take();
}

QByteArray constant(const char* text, qsizetype size)
{
    return QByteArray::fromRawData(text, size - 1); // without the closing zero
}

} // namespace

QByteArray openDocumentBytes(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    std::vector<PackagePart> parts;
    parts.push_back({"mimetype", {constant(kMediaType, sizeof kMediaType)}, true});
    parts.push_back({"content.xml", contentXml(title, paragraphs)});
    parts.push_back({"styles.xml", {constant(kStyles, sizeof kStyles)}});
    parts.push_back({"META-INF/manifest.xml", {constant(kManifest, sizeof kManifest)}});
    return zipPackage(parts);
}

} // namespace tavrin
