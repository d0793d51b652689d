#include "editor/transcript_edit.h"

#include "editor/time_word.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace tavrin {

TranscriptEdit::TranscriptEdit(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setUndoRedoEnabled(true);
}

void TranscriptEdit::keyPressEvent(QKeyEvent* event)
{
    if (keyDownHandler_ && keyDownHandler_(event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TranscriptEdit::scrollToShow(int position)
{
    QTextCursor at(document());
    at.setPosition(std::clamp(position, 0, document()->characterCount() - 1));
    if (viewport()->rect().contains(cursorRect(at)))
        return;
    // This editor's scroll bar counts lines, wrapped ones included: the line goes to the top.
    const QTextBlock paragraph = at.block();
    int line = 0;
    if (const QTextLayout* layout = paragraph.layout(); layout && layout->lineCount() > 0)
        line = std::max(layout->lineForTextPosition(at.positionInBlock()).lineNumber(), 0);
    verticalScrollBar()->setValue(paragraph.firstLineNumber() + line);
}

void TranscriptEdit::mousePressEvent(QMouseEvent* event)
{
    const bool toHear = event->button() == Qt::LeftButton
        && (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier;
    if (!toHear) {
        QPlainTextEdit::mousePressEvent(event);
        return;
    }
    // The caret goes to the word, as a plain click puts it; no selection is made.
    setTextCursor(cursorForPosition(event->position().toPoint()));
    Q_EMIT controlClicked(textCursor().position());
}

void TranscriptEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    // Qt's word rule breaks 00:12:34 at the colons; a time is selected whole.
    const QTextCursor hit = cursorForPosition(event->position().toPoint());
    const QTextBlock block = hit.block();
    const TextRange run = timeRunAt(block.text(), hit.positionInBlock());
    if (run.length > 0) {
        QTextCursor time(document());
        time.setPosition(block.position() + int(run.start));
        time.setPosition(block.position() + int(run.start + run.length), QTextCursor::KeepAnchor);
        setTextCursor(time);
    }
    Q_EMIT doubleClicked();
}

void TranscriptEdit::inputMethodEvent(QInputMethodEvent* event)
{
    composing_ = !event->preeditString().isEmpty();
    QPlainTextEdit::inputMethodEvent(event);
}

void TranscriptEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // Handled here and never passed on: neither a menu of the program nor the
    // standard edit menu opens, whether asked for by mouse or keyboard.
    event->accept();
    Q_EMIT contextMenuRequested(event->pos());
}

void TranscriptEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        QPlainTextEdit::dragEnterEvent(event);
}

void TranscriptEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        QPlainTextEdit::dragMoveEvent(event);
}

void TranscriptEdit::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(event->mimeData()->urls());
}

} // namespace tavrin
