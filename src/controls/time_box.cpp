#include "controls/time_box.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace tavrin {

TimeBox::TimeBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
{
    setDragEnabled(false);
    setAcceptDrops(false);
}

qsizetype TimeBox::room() const
{
    return std::max<qsizetype>(0, kTypingLimit - (text().size() - selectedText().size()));
}

void TimeBox::pasteWithinLimit()
{
    if (isReadOnly())
        return;
    const QString pasted = QGuiApplication::clipboard()->text().split(u'\n').constFirst();
    insert(pasted.left(room()));
}

void TimeBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteWithinLimit();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.front().isPrint();
    if (printable && typed.size() > room()) {
        event->accept(); // the box is full: the key types nothing
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TimeBox::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        paste->disconnect();
        connect(paste, &QAction::triggered, this, &TimeBox::pasteWithinLimit);
    }
    menu->popup(event->globalPos());
}

void TimeBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (event->commitString().size() > room()) {
        QInputMethodEvent trimmed(event->preeditString(), event->attributes());
        trimmed.setCommitString(event->commitString().left(room()), event->replacementStart(),
                                event->replacementLength());
        QLineEdit::inputMethodEvent(&trimmed);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

} // namespace tavrin
