#pragma once

#include "export/transcript_parts.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace tavrin {

// An OpenDocument text (.odt), a package as small as LibreOffice and odt2txt
// read it: the title, then one paragraph per paragraph, speakers in bold and
// time marks as grey time codes. Throws std::runtime_error when libzip is
// missing or fails.
QByteArray openDocumentBytes(const QString& title, const std::vector<ExportParagraph>& paragraphs);

} // namespace tavrin
