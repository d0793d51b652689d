#pragma once

#include <QLineEdit>

namespace tavrin {

// The go-to-time box. What the user types into it, pastes or drops stops at
// eight characters, whatever they are; text the program puts there is kept
// whole (QLineEdit's own maximum length would cut that too).
class TimeBox : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kTypingLimit = 8;

    explicit TimeBox(const QString& text, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void pasteWithinLimit();
    // How many characters may still be typed over the current selection.
    qsizetype room() const;
};

} // namespace tavrin
