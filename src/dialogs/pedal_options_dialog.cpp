#include "dialogs/pedal_options_dialog.h"

#include "desktop/command_runner.h"
#include "desktop/fonts.h"
#include "desktop/palette_colour.h"
#include "desktop/widget_placing.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

namespace tavrin {

namespace {

constexpr PedalRole kRoleChoices[] = {PedalRole::Back,        PedalRole::Play,
                                      PedalRole::Forward,     PedalRole::PreviousPassage,
                                      PedalRole::NextPassage, PedalRole::None};

QString roleCaption(PedalRole role)
{
    switch (role) {
    case PedalRole::Back:
        return QStringLiteral("后退");
    case PedalRole::Play:
        return QStringLiteral("播放");
    case PedalRole::Forward:
        return QStringLiteral("前进");
    case PedalRole::PreviousPassage:
        return QStringLiteral("上一段");
    case PedalRole::NextPassage:
        return QStringLiteral("下一段");
    case PedalRole::None:
        break;
    }
    return QStringLiteral("不用");
}

const QString kPedalNames[kPedalCount] = {QStringLiteral("左踏板"), QStringLiteral("中踏板"), QStringLiteral("右踏板")};

} // namespace

PedalOptionsDialog::PedalOptionsDialog(QWidget* owner, Desktop& desktop, QString settingsFolder)
    : QDialog(owner,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , desktop_(desktop)
    , settingsFolder_(std::move(settingsFolder))
{
    setObjectName(QStringLiteral("PedalOptionsDialog"));
    setWindowTitle(QStringLiteral("脚踏板设置"));
    setModal(true);
    setFont(interfaceFont());
    setBackgroundRole(QPalette::Button);
    resize(361, 290);

    label(this, QStringLiteral("deviceLabel"), QStringLiteral("设备"), QRect(30, 24, 61, 13));
    devicePath = place(new QLineEdit(this), QStringLiteral("devicePath"), QRect(94, 20, 241, 21));
    devicePath->setPlaceholderText(QStringLiteral("留空：自动查找已知型号"));
    devicePath->setAccessibleName(QStringLiteral("脚踏板设备路径"));
    foundDevices = label(this, QStringLiteral("foundDevices"), QString(), QRect(94, 46, 241, 13));
    setColour(foundDevices, QPalette::WindowText, foundDevices->palette().color(QPalette::Dark));
    showFoundDevices({});

    label(this, QStringLiteral("modeLabel"), QStringLiteral("播放踏板"), QRect(30, 74, 61, 13));
    holdToPlay = place(new QRadioButton(QStringLiteral("踩住播放，松开暂停"), this), QStringLiteral("holdToPlay"),
                       QRect(94, 72, 241, 17));
    toggle = place(new QRadioButton(QStringLiteral("踩一下播放，再踩一下暂停"), this), QStringLiteral("toggle"),
                   QRect(94, 94, 241, 17));

    label(this, QStringLiteral("pedalKeysLabel"), QStringLiteral("踏板键码"), QRect(30, 124, 61, 13));
    pedalKeys = place(new QLineEdit(this), QStringLiteral("pedalKeys"), QRect(94, 120, 241, 21));
    pedalKeys->setPlaceholderText(QStringLiteral("留空：踏板自己的按钮；键盘式踏板填如 30,48,46"));
    pedalKeys->setAccessibleName(QStringLiteral("踏板按键码，从左起"));

    for (int pedal = 0; pedal < kPedalCount; ++pedal) {
        const int left = 30 + pedal * 105;
        label(this, QStringLiteral("roleLabel%1").arg(pedal), kPedalNames[pedal], QRect(left, 152, 91, 13));
        QComboBox* box = place(new QComboBox(this), QStringLiteral("role%1").arg(pedal), QRect(left, 168, 91, 21));
        for (const PedalRole role : kRoleChoices)
            box->addItem(roleCaption(role), int(role));
        box->setAccessibleName(kPedalNames[pedal]);
        roles[pedal] = box;

        QLabel* light = label(this, QStringLiteral("test%1").arg(pedal), kPedalNames[pedal], QRect(left, 198, 91, 21));
        light->setAlignment(Qt::AlignCenter);
        light->setFrameShape(QFrame::Panel);
        light->setFrameShadow(QFrame::Sunken);
        light->setAutoFillBackground(true);
        light->setAccessibleDescription(QStringLiteral("松开"));
        testRow[pedal] = light;
    }
    QLabel* note = label(this, QStringLiteral("noteLabel"), QStringLiteral("注意：踩下踏板时，上面对应的方框会亮起。"),
                         QRect(30, 226, 311, 13));
    setColour(note, QPalette::WindowText, Qt::red);
    saveButton = new QPushButton(QStringLiteral("保存设置"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setGeometry(143, 250, 75, 25);
    saveButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, [this] { runCommand(desktop_, this, [this] { saveOptions(); }); });
}

PedalOptions PedalOptionsDialog::shownOptions() const
{
    PedalOptions options;
    options.devicePath = devicePath->text().trimmed();
    options.pedalKeys = parsePedalKeys(pedalKeys->text()).value_or(QList<int>{});
    options.playMode = toggle->isChecked() ? PedalPlayMode::Toggle : PedalPlayMode::HoldToPlay;
    for (int pedal = 0; pedal < kPedalCount; ++pedal)
        options.roles[pedal] = PedalRole(roles[pedal]->currentData().toInt());
    return options;
}

void PedalOptionsDialog::showStored()
{
    const PedalOptions stored = readPedalOptions(settingsFolder_).options;
    devicePath->setText(stored.devicePath);
    pedalKeys->setText(pedalKeysText(stored.pedalKeys));
    (stored.playMode == PedalPlayMode::Toggle ? toggle : holdToPlay)->setChecked(true);
    for (int pedal = 0; pedal < kPedalCount; ++pedal)
        roles[pedal]->setCurrentIndex(roles[pedal]->findData(int(stored.roles[pedal])));
}

void PedalOptionsDialog::saveOptions()
{
    if (!parsePedalKeys(pedalKeys->text())) {
        showPlainMessage(desktop_, this,
                         QStringLiteral("踏板键码应为一到三个用逗号隔开的数字（1到767），从左踏板起，例如 30,48,46。"));
        pedalKeys->setFocus();
        return;
    }
    const PedalOptions options = shownOptions();
    writePedalOptions(settingsFolder_, options);
    showPlainMessage(desktop_, this, QStringLiteral("更改设置成功!"));
    Q_EMIT optionsSaved(options);
    accept();
}

void PedalOptionsDialog::showFoundDevices(const QStringList& devices)
{
    foundDevices->setText(devices.isEmpty() ? QStringLiteral("未找到脚踏板")
                                            : QStringLiteral("已找到：%1").arg(devices.join(QStringLiteral("；"))));
}

void PedalOptionsDialog::showPedalDown(int pedal, bool down)
{
    if (pedal < 0 || pedal >= kPedalCount)
        return;
    QLabel* light = testRow[pedal];
    light->setBackgroundRole(down ? QPalette::Highlight : QPalette::Button);
    light->setForegroundRole(down ? QPalette::HighlightedText : QPalette::WindowText);
    light->setAccessibleDescription(down ? QStringLiteral("踩下") : QStringLiteral("松开"));
}

void PedalOptionsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    showStored();
    for (int pedal = 0; pedal < kPedalCount; ++pedal)
        showPedalDown(pedal, false);
    devicePath->setFocus();
}

void PedalOptionsDialog::hideEvent(QHideEvent* event)
{
    setAttribute(Qt::WA_Moved, true); // opened again where it was left
    QDialog::hideEvent(event);
}

} // namespace tavrin
