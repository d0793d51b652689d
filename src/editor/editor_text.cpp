#include "editor/editor_text.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace tavrin {

QString editorText(const QPlainTextEdit* editor)
{
    QString text = editor->document()->toRawText();
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}

} // namespace tavrin
