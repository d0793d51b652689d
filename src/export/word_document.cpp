#include "export/word_document.h"

#include "export/libzip_library.h"

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

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

// The text of a run as XML holds it: markup characters escaped, and the
// characters XML 1.0 cannot hold at all (control characters but tab) left out.
void appendEscaped(QString& xml, QStringView text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            xml += u"&amp;";
            break;
        case u'<':
            xml += u"&lt;";
            break;
        case u'>':
            xml += u"&gt;";
            break;
        default:
            if (c.unicode() >= 0x20 || c == u'\t')
                xml += c;
        }
    }
}

void appendRun(QString& xml, QStringView text, QStringView properties)
{
    xml += u"<w:r>";
    if (!properties.isEmpty()) {
        xml += u"<w:rPr>";
        xml += properties;
        xml += u"</w:rPr>";
    }
    xml += u"<w:t xml:space=\"preserve\">";
    appendEscaped(xml, text);
    xml += u"</w:t></w:r>";
}

QStringView propertiesOf(TextSpan::Kind kind)
{
    switch (kind) {
    case TextSpan::Kind::Speaker:
        return u"<w:b/>";
    case TextSpan::Kind::Mark:
        return u"<w:color w:val=\"808080\"/>"; // grey
    case TextSpan::Kind::Words:
        break;
    }
    return {};
}

QByteArray documentXml(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    QString xml =
        QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                       R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
                       R"(<w:body><w:p>)");
    appendRun(xml, title, u"<w:b/><w:sz w:val=\"32\"/>"); // 16 points
    xml += u"</w:p>";
    for (const ExportParagraph& paragraph : paragraphs) {
        xml += u"<w:p>";
        for (const TextSpan& span : paragraph)
            appendRun(xml, span.text, propertiesOf(span.kind));
        xml += u"</w:p>";
    }
    xml += u"</w:body></w:document>";
    return xml.toUtf8();
}

[[noreturn]] void fail(const LibZip& zip, const char* step, zip_error_t* error)
{
    throw std::runtime_error(std::string("zip: ") + step + ": " + zip.errorText(error));
}

struct SourceFree {
    const LibZip* zip;
    void operator()(zip_source_t* source) const { zip->freeSource(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

// Deflate's quickest level: a 20 MB transcript's XML packs in a fraction of
// the default level's time, and to much the same size.
constexpr zip_uint32_t kQuickestDeflate = 1;

void addPart(const LibZip& zip, zip_t* archive, const char* name, const QByteArray& bytes)
{
    zip_source_t* part = zip.partSource(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
    const zip_int64_t index = part ? zip.addFile(archive, name, part, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        zip.freeSource(part);
        fail(zip, name, zip.archiveError(archive));
    }
    if (zip.setCompression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, kQuickestDeflate) < 0)
        fail(zip, name, zip.archiveError(archive));
}

QByteArray readWhole(const LibZip& zip, zip_source_t* archiveBytes)
{
    zip_stat_t stat;
    if (zip.openSource(archiveBytes) < 0 || zip.statSource(archiveBytes, &stat) < 0)
        fail(zip, "reading the package", zip.sourceError(archiveBytes));
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip.readSource(archiveBytes, bytes.data(), stat.size);
    zip.closeSource(archiveBytes);
    if (read != zip_int64_t(stat.size))
        fail(zip, "reading the package", zip.sourceError(archiveBytes));
    return bytes;
}

// The package of `parts` (name and bytes), zipped in memory.
QByteArray zipped(const std::vector<std::pair<const char*, QByteArray>>& parts)
{
    const LibZip& zip = loadLibZip();
    zip_error_t error;
    zip.errorInit(&error);
    Source archiveBytes(zip.bufferSource(nullptr, 0, 0, &error), SourceFree{&zip});
    if (!archiveBytes)
        fail(zip, "a buffer", &error);
    zip_t* archive = zip.openFromSource(archiveBytes.get(), ZIP_TRUNCATE, &error);
    if (!archive)
        fail(zip, "opening", &error);
    zip.errorFini(&error);
    zip.keep(archiveBytes.get()); // the archive's close would free it otherwise
    try {
        for (const auto& [name, bytes] : parts)
            addPart(zip, archive, name, bytes);
    } catch (...) {
        zip.discard(archive);
        throw;
    }
    if (zip.close(archive) < 0) {
        const std::string reason = zip.errorText(zip.archiveError(archive));
        zip.discard(archive);
        throw std::runtime_error("zip: writing the package: " + reason);
    }
    return readWhole(zip, archiveBytes.get());
}

} // namespace

QByteArray wordDocumentBytes(const QString& title, const std::vector<ExportParagraph>& paragraphs)
{
    // The parts outlive the archive, which reads them when it is closed.
    return zipped({{"[Content_Types].xml", QByteArray(kContentTypes)},
                   {"_rels/.rels", QByteArray(kPackageRelationships)},
                   {"word/document.xml", documentXml(title, paragraphs)}});
}

} // namespace tavrin
