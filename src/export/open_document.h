#pragma once

#include "export/transcript_parts.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace tavrin {

// An OpenDocument text (.odt) written by Qt's own writer: the title, then one
// paragraph per paragraph, speakers in bold and time marks as grey time codes.
// Throws std::runtime_error when Qt cannot write it.
QByteArray openDocumentBytes(const QString& title, const std::vector<ExportParagraph>& paragraphs);

} // namespace tavrin
