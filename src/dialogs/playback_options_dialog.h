#pragma once

#include "settings/playback_options.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace tavrin {

class Desktop;

// "播放选项": the back-step on resume and the listening aids. It reads the
// settings file every time it opens and writes it only when saved. A listening
// aid ticked or cleared is heard at once (optionsTried), so the user can judge
// it on the recording; closed without saving, what was stored is tried again.
class PlaybackOptionsDialog : public QDialog {
    Q_OBJECT
public:
    PlaybackOptionsDialog(QWidget* owner, Desktop& desktop, PlaybackSettings& settings);

    PlaybackOptions shownOptions() const;
    void saveOptions();

    QDoubleSpinBox* resumeBackStep = nullptr;
    QDoubleSpinBox* wordLead = nullptr;
    QCheckBox* volumeBoost = nullptr;
    QCheckBox* loudnessLevelling = nullptr;
    QCheckBox* noiseReduction = nullptr;
    QCheckBox* voiceBand = nullptr;
    QCheckBox* followPlayback = nullptr;
    QPushButton* saveButton = nullptr;

Q_SIGNALS:
    // The options the player should use now.
    void optionsTried(const tavrin::PlaybackOptions& options);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QCheckBox* addAid(const QString& name, const QString& caption, const QString& explanation, int top);
    QDoubleSpinBox* addSeconds(const QString& name, const QString& caption, const QString& explanation, int top);
    void showStored();

    Desktop& desktop_;
    PlaybackSettings& settings_;
    PlaybackOptions stored_; // as read when the dialog opened, or saved since
    bool tried_ = false;     // an aid was changed since
};

} // namespace tavrin
