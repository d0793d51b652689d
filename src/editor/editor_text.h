#pragma once

#include <QString>

class QPlainTextEdit;

namespace tavrin {

// The editor's whole text with '\n' between lines, exactly as typed: unlike
// QPlainTextEdit::toPlainText(), a no-break space stays what it is, and a line
// break typed with Shift+Enter counts as a line break.
QString editorText(const QPlainTextEdit* editor);

} // namespace tavrin
