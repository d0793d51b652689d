#include "export/word_document.h"

#include <zip.h>

#include <QXmlStreamWriter>

#include <memory>
#include <stdexcept>

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

constexpr char kWordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr char kGrey[] = "808080";
constexpr int kTitleHalfPoints = 32;

// Characters XML 1.0 cannot hold at all (control characters but tab) are left out.
QString xmlSafe(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == u'\t')
            safe.append(c);
    }
    return safe;
}

void writeRun(QXmlStreamWriter& xml, const QString& text, bool bold, const char* colour, int halfPoints = 0)
{
    xml.writeStartElement(QStringLiteral("w:r"));
    if (bold || colour || halfPoints) {
        xml.writeStartElement(QStringLiteral("w:rPr"));
        if (bold)
            xml.writeEmptyElement(QStringLiteral("w:b"));
        if (colour) {
            xml.writeEmptyElement(QStringLiteral("w:color"));
            xml.writeAttribute(QStringLiteral("w:val"), QString::fromLatin1(colour));
        }
        if (halfPoints) {
            xml.writeEmptyElement(QStringLiteral("w:sz"));
            xml.writeAttribute(QStringLiteral("w:val"), QString::number(halfPoints));
        }
        xml.writeEndElement();
    }
    xml.writeStartElement(QStringLiteral("w:t"));
    xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    xml.writeCharacters(xmlSafe(text));
    xml.writeEndElement();
    xml.writeEndElement();
}

void writeParagraph(QXmlStreamWriter& xml, const ExportParagraph& paragraph)
{
    xml.writeStartElement(QStringLiteral("w:p"));
    for (const TextSpan& span : paragraph)
        writeRun(xml, span.text, span.kind == TextSpan::Kind::Speaker,
                 span.kind == TextSpan::Kind::Mark ? kGrey : nullptr);
    xml.writeEndElement();
}

QByteArray documentXml(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeStartElement(QStringLiteral("w:document"));
    xml.writeNamespace(QString::fromLatin1(kWordNamespace), QStringLiteral("w"));
    xml.writeStartElement(QStringLiteral("w:body"));
    xml.writeStartElement(QStringLiteral("w:p"));
    writeRun(xml, title, true, nullptr, kTitleHalfPoints);
    xml.writeEndElement();
    for (const ExportParagraph& paragraph : paragraphs)
        writeParagraph(xml, paragraph);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

[[noreturn]] void fail(const char* step, zip_error_t* error)
{
    throw std::runtime_error(std::string("zip: ") + step + ": " + zip_error_strerror(error));
}

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

void addPart(zip_t* archive, const char* name, const QByteArray& bytes)
{
    zip_source_t* part = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
    if (!part || zip_file_add(archive, name, part, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(part);
        fail(name, zip_get_error(archive));
    }
}

QByteArray readWhole(zip_source_t* archiveBytes)
{
    zip_stat_t stat;
    if (zip_source_open(archiveBytes) < 0 || zip_source_stat(archiveBytes, &stat) < 0)
        fail("reading the package", zip_source_error(archiveBytes));
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(archiveBytes, bytes.data(), stat.size);
    zip_source_close(archiveBytes);
    if (read != zip_int64_t(stat.size))
        fail("reading the package", zip_source_error(archiveBytes));
    return bytes;
}

} // namespace

QByteArray wordDocumentBytes(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    // The parts must outlive the archive, which reads them when it is closed.
    const QByteArray contentTypes(kContentTypes);
    const QByteArray relationships(kPackageRelationships);
    const QByteArray document = documentXml(title, paragraphs);
    zip_error_t error;
    zip_error_init(&error);
    Source archiveBytes(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!archiveBytes)
        fail("a buffer", &error);
    zip_t* archive = zip_open_from_source(archiveBytes.get(), ZIP_TRUNCATE, &error);
    if (!archive)
        fail("opening", &error);
    zip_source_keep(archiveBytes.get()); // the archive's close would free it otherwise
    try {
        addPart(archive, "[Content_Types].xml", contentTypes);
        addPart(archive, "_rels/.rels", relationships);
        addPart(archive, "word/document.xml", document);
    } catch (...) {
        zip_discard(archive);
        throw;
    }
    if (zip_close(archive) < 0) {
        zip_error_t* closing = zip_get_error(archive);
        const std::string reason = zip_error_strerror(closing);
        zip_discard(archive);
        throw std::runtime_error("zip: writing the package: " + reason);
    }
    return readWhole(archiveBytes.get());
}

} // namespace tavrin
