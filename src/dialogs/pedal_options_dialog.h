#pragma once

#include "settings/pedal_options.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavrin {

class Desktop;

// "脚踏板设置": which pedal device, the play mode and what each pedal does,
// with a row that lights up as each pedal is pressed, so the user sees which
// is which before choosing. It reads the settings file every time it opens and
// writes it only when saved.
class PedalOptionsDialog : public QDialog {
    Q_OBJECT
public:
    PedalOptionsDialog(QWidget* owner, Desktop& desktop, QString settingsFolder);

    PedalOptions shownOptions() const;
    void saveOptions();

    // The pedal devices in use now, named for the user; none, and it says so.
    void showFoundDevices(const QStringList& devices);
    // Lights the test row's field of `pedal` (0 to kPedalCount - 1, from the left) while it is down.
    void showPedalDown(int pedal, bool down);

    QLineEdit* devicePath = nullptr;
    QLabel* foundDevices = nullptr;
    QLineEdit* pedalKeys = nullptr;
    QRadioButton* holdToPlay = nullptr;
    QRadioButton* toggle = nullptr;
    std::array<QComboBox*, kPedalCount> roles{};
    std::array<QLabel*, kPedalCount> testRow{};
    QPushButton* saveButton = nullptr;

Q_SIGNALS:
    void optionsSaved(const tavrin::PedalOptions& options);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showStored();

    Desktop& desktop_;
    QString settingsFolder_;
};

} // namespace tavrin
