#pragma once

#include <QLabel>

namespace tavrin {

// A caption drawn as a link that runs a command when clicked. It never takes
// the keyboard focus, so clicking it leaves the caret where the user was typing.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace tavrin
