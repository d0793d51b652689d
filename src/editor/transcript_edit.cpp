#include "editor/transcript_edit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

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

void TranscriptEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    Q_EMIT doubleClicked();
}

void TranscriptEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // Handled here and never passed on: neither a menu of the program nor the
    // standard edit menu opens, whether asked for by mouse or keyboard.
    event->accept();
    Q_EMIT contextMenuRequested(event->pos());
}

} // namespace tavrin
