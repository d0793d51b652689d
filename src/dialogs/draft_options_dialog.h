#pragma once

#include "settings/draft_options.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tavrin {

class Desktop;

// "自动初稿设置": the model that recognises the draft's words, its language, its
// punctuation and its threads. It reads the settings file every time it opens
// and writes it only when saved; a model folder that cannot serve is told,
// naming what is missing, and not saved.
class DraftOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // What is wrong with a model folder, in words for the user; empty: it can serve.
    using ModelCheck = std::function<QString(const QString& folder)>;

    DraftOptionsDialog(QWidget* owner, Desktop& desktop, QString settingsFolder, ModelCheck checkModel);

    DraftOptions shownOptions() const;
    // False, with the reason told, when the options are not saved.
    bool saveOptions();

    QLineEdit* modelFolder = nullptr;
    QPushButton* chooseButton = nullptr;
    QComboBox* language = nullptr;
    QCheckBox* punctuation = nullptr;
    QSpinBox* threads = nullptr;
    QCheckBox* toSimplified = nullptr;
    QPushButton* saveButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chooseModel();
    void showStored();
    void tell(const QString& text);

    Desktop& desktop_;
    QString settingsFolder_;
    ModelCheck checkModel_;
};

} // namespace tavrin
