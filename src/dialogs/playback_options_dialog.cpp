#include "dialogs/playback_options_dialog.h"

#include "desktop/command_runner.h"
#include "desktop/fonts.h"
#include "desktop/palette_colour.h"
#include "desktop/widget_placing.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

namespace tavrin {

namespace {

QLabel* explanation(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    QLabel* note = label(parent, name, text, geometry);
    setColour(note, QPalette::WindowText, note->palette().color(QPalette::Dark));
    return note;
}

} // namespace

PlaybackOptionsDialog::PlaybackOptionsDialog(QWidget* owner, Desktop& desktop, PlaybackSettings& settings)
    : QDialog(owner,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , desktop_(desktop)
    , settings_(settings)
{
    setObjectName(QStringLiteral("PlaybackOptionsDialog"));
    setWindowTitle(QStringLiteral("播放选项"));
    setModal(true);
    setFont(interfaceFont());
    setBackgroundRole(QPalette::Button);
    resize(361, 284);

    resumeBackStep = addSeconds(QStringLiteral("resumeBackStep"), QStringLiteral("继续播放时后退"),
                                QStringLiteral("暂停后再播放，先重听这几秒"), 20);
    wordLead =
        addSeconds(QStringLiteral("wordLead"), QStringLiteral("听词时提前"), QStringLiteral("Ctrl+Shift+F4 听词"), 46);

    volumeBoost = addAid(QStringLiteral("volumeBoost"), QStringLiteral("音量增强"),
                         QStringLiteral("声音太小：放大到300%，不会爆音"), 84);
    loudnessLevelling = addAid(QStringLiteral("loudnessLevelling"), QStringLiteral("响度均衡"),
                               QStringLiteral("忽大忽小：把说话声调得一样响"), 110);
    noiseReduction =
        addAid(QStringLiteral("noiseReduction"), QStringLiteral("降噪"), QStringLiteral("压低背景里的嘶嘶声"), 136);
    voiceBand = addAid(QStringLiteral("voiceBand"), QStringLiteral("人声频段"),
                       QStringLiteral("只留100赫兹到4千赫兹的人声"), 162);
    followPlayback = addAid(QStringLiteral("followPlayback"), QStringLiteral("跟随播放"),
                            QStringLiteral("播放时在文字里标出正在听的那一段"), 188);

    QLabel* note = label(this, QStringLiteral("noteLabel"),
                         QStringLiteral("注意：选项勾选后立即生效，保存后下次启动仍有效。"), QRect(30, 218, 311, 13));
    setColour(note, QPalette::WindowText, Qt::red);
    saveButton = new QPushButton(QStringLiteral("保存设置"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setGeometry(143, 242, 75, 25);
    saveButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, [this] { runCommand(desktop_, this, [this] { saveOptions(); }); });
}

// A length in seconds, 0 to 10 in halves, on a row of its own from `top`.
QDoubleSpinBox* PlaybackOptionsDialog::addSeconds(const QString& name, const QString& caption, const QString& text,
                                                  int top)
{
    label(this, name + QStringLiteral("Label"), caption, QRect(30, top + 4, 91, 13));
    auto* box = place(new QDoubleSpinBox(this), name, QRect(124, top, 55, 21));
    box->setRange(0.0, kLongestResumeBackStep);
    box->setSingleStep(kResumeBackStepUnit);
    box->setDecimals(1);
    box->setAccessibleName(caption + QStringLiteral("的秒数"));
    explanation(this, name + QStringLiteral("Note"), QStringLiteral("秒     ") + text, QRect(184, top + 4, 171, 13));
    return box;
}

QCheckBox* PlaybackOptionsDialog::addAid(const QString& name, const QString& caption, const QString& text, int top)
{
    auto* box = place(new QCheckBox(caption, this), name, QRect(30, top, 91, 17));
    explanation(this, name + QStringLiteral("Note"), text, QRect(124, top + 2, 221, 13));
    connect(box, &QCheckBox::toggled, this, [this] {
        tried_ = true;
        Q_EMIT optionsTried(shownOptions());
    });
    return box;
}

PlaybackOptions PlaybackOptionsDialog::shownOptions() const
{
    PlaybackOptions options;
    // Typed values between the steps are taken to the nearest step.
    options.resumeBackStep = std::round(resumeBackStep->value() / kResumeBackStepUnit) * kResumeBackStepUnit;
    options.wordLead = std::round(wordLead->value() / kResumeBackStepUnit) * kResumeBackStepUnit;
    options.volumeBoost = volumeBoost->isChecked();
    options.loudnessLevelling = loudnessLevelling->isChecked();
    options.noiseReduction = noiseReduction->isChecked();
    options.voiceBand = voiceBand->isChecked();
    options.followPlayback = followPlayback->isChecked();
    return options;
}

void PlaybackOptionsDialog::showStored()
{
    stored_ = settings_.read();
    tried_ = false;
    resumeBackStep->setValue(stored_.resumeBackStep);
    wordLead->setValue(stored_.wordLead);
    const std::pair<QCheckBox*, bool> aids[] = {{volumeBoost, stored_.volumeBoost},
                                                {loudnessLevelling, stored_.loudnessLevelling},
                                                {noiseReduction, stored_.noiseReduction},
                                                {voiceBand, stored_.voiceBand},
                                                {followPlayback, stored_.followPlayback}};
    for (const auto& [box, on] : aids) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
}

void PlaybackOptionsDialog::saveOptions()
{
    const PlaybackOptions options = shownOptions();
    settings_.write(options);
    stored_ = options;
    tried_ = false;
    showPlainMessage(desktop_, this, QStringLiteral("更改设置成功!"));
    accept();
}

void PlaybackOptionsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    showStored();
    resumeBackStep->setFocus();
}

void PlaybackOptionsDialog::hideEvent(QHideEvent* event)
{
    // Closed without saving: the player goes back to what is stored.
    if (tried_) {
        tried_ = false;
        Q_EMIT optionsTried(stored_);
    }
    setAttribute(Qt::WA_Moved, true); // opened again where it was left
    QDialog::hideEvent(event);
}

void PlaybackOptionsDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter in the seconds box saves nothing by accident; Esc closes without saving.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tavrin
