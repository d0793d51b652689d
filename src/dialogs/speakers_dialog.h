#pragma once

#include <QDialog>
#include <QStringList>

#include <array>

class QLineEdit;
class QPushButton;

namespace tavrin {

class Desktop;

// "说话人设置": the names on Ctrl+1 to Ctrl+9. Saved only when every name given
// can stand in a label: 1 to 20 characters, no blank or punctuation, no two alike.
class SpeakersDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kNames = 9;

    SpeakersDialog(QWidget* owner, Desktop& desktop);

    void setNames(const QStringList& names);
    QStringList names() const; // nine, an empty one where none is given

    std::array<QLineEdit*, kNames> nameBoxes{};
    QPushButton* saveButton = nullptr;

private:
    // Tells the user what is wrong and returns false, or returns true.
    bool namesAreUsable();

    Desktop& desktop_;
};

} // namespace tavrin
