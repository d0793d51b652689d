#pragma once

#include "settings/phrase_options.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tavrin {

class Desktop;

// "短语和缩写设置": the ten phrases on keys, the abbreviations and the key that
// expands them. Reads section 短语 of the settings file when it opens and
// writes it when saved; abbreviations that cannot be read are told, not saved.
class PhrasesDialog : public QDialog {
    Q_OBJECT
public:
    PhrasesDialog(QWidget* owner, Desktop& desktop, QString settingsFolder);

    std::array<QLineEdit*, kPhraseCount> phraseBoxes{};
    QPlainTextEdit* abbreviations = nullptr;
    QComboBox* expandKey = nullptr;
    QPushButton* saveButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool saveOptions();

    Desktop& desktop_;
    QString settingsFolder_;
};

} // namespace tavrin
