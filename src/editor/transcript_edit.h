#pragma once

#include <QPlainTextEdit>
#include <QUrl>

#include <functional>

namespace tavrin {

// The text area the transcript is typed into. Long lines wrap, Tab moves the
// focus on instead of typing a tab, and no context menu ever opens over it.
//
// The window hooks its key dispatch in before the editor acts on a key, and its
// double-click command after the editor has selected the word under the mouse.
class TranscriptEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // Returns true when the key is taken and must not reach the editor.
    using KeyDownHandler = std::function<bool(QKeyEvent*)>;

    explicit TranscriptEdit(QWidget* parent = nullptr);

    void setKeyDownHandler(KeyDownHandler handler) { keyDownHandler_ = std::move(handler); }
    // True while an input method is composing text in the editor.
    bool isComposing() const { return composing_; }
    // Scrolls, if need be, so that the line holding `position` is in sight; the
    // caret and the selection stay where they are.
    void scrollToShow(int position);

Q_SIGNALS:
    void doubleClicked();
    // A click with Ctrl held, the caret put where it was: to hear the word there.
    void controlClicked(int position);
    void contextMenuRequested(const QPoint& position);

    // Files dragged from a file manager and dropped here: they are for the
    // window to open, not text to insert.
    void filesDropped(const QList<QUrl>& urls);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    KeyDownHandler keyDownHandler_;
    bool composing_ = false;
};

} // namespace tavrin
