#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {

class Desktop;

// "时长设置": the dialog in which the step lengths are edited. It reads the
// settings file every time it opens and writes it only when saved.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(QWidget* owner, Desktop& desktop, QString settingsFolder);

    void FormShow();
    void Button1Click();

    QLineEdit* Edit2 = nullptr; // shijian2, the step back
    QLabel* Label2 = nullptr;
    QLineEdit* Edit3 = nullptr; // shijian3, kept but never shown
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr; // shijian1, the step forward
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Desktop& desktop_;
    QString settingsFolder_;
};

} // namespace tavrin
