#include "dialogs/settings_dialog.h"

#include "desktop/command_runner.h"
#include "desktop/fonts.h"
#include "desktop/palette_colour.h"
#include "desktop/widget_placing.h"
#include "settings/step_settings.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavrin {

namespace {

QLineEdit* box(QWidget* parent, const QRect& geometry, const QString& name, const QString& spokenName)
{
    auto* edit = place(new QLineEdit(parent), name, geometry);
    edit->setAccessibleName(spokenName);
    return edit;
}

} // namespace

TForm3::TForm3(QWidget* owner, Desktop& desktop, QString settingsFolder)
    : QDialog(owner,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , desktop_(desktop)
    , settingsFolder_(std::move(settingsFolder))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("时长设置"));
    setModal(true);
    setFont(interfaceFont());
    setBackgroundRole(QPalette::Button);
    // 349 x 212 with the frame of a common title bar and border.
    resize(341, 185);

    Edit2 = box(this, QRect(41, 41, 42, 21), QStringLiteral("Edit2"), QStringLiteral("后退秒数（F9）"));
    Label2 =
        label(this, QStringLiteral("Label2"), QStringLiteral("对应快捷键F9     后退指定时间"), QRect(90, 45, 201, 13));
    Edit3 = box(this, QRect(41, 73, 42, 21), QStringLiteral("Edit3"), QStringLiteral("备用秒数"));
    Edit3->hide();
    Label3 = label(this, QStringLiteral("Label3"), QString(), QRect(90, 74, 241, 13));
    Label3->hide();
    Edit1 = box(this, QRect(41, 104, 41, 21), QStringLiteral("Edit1"), QStringLiteral("前进秒数（F12）"));
    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("对应快捷键F12     向前播放指定时间"),
                   QRect(90, 107, 231, 13));
    Label5 = label(this, QStringLiteral("Label5"), QStringLiteral("注意：只需填入数字即可，单位为秒。"),
                   QRect(42, 128, 249, 13));
    Button1 = new QPushButton(QStringLiteral("保存设置"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(130, 144, 75, 25);
    Button1->setAutoDefault(false);
    Button1->setDefault(false);

    for (QLabel* label : {Label2, Label1})
        setColour(label, QPalette::WindowText, label->palette().color(QPalette::Dark));
    setColour(Label5, QPalette::WindowText, Qt::red);

    setTabOrder(Edit2, Button1);
    setTabOrder(Button1, Edit1);
    connect(Button1, &QPushButton::clicked, this, [this] { runCommand(desktop_, this, [this] { Button1Click(); }); });
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm3::keyPressEvent(QKeyEvent* event)
{
    // Enter and Esc in a box close nothing.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm3::hideEvent(QHideEvent* event)
{
    // Opened again where it was left: only the first showing is centred over the main window.
    setAttribute(Qt::WA_Moved, true);
    QDialog::hideEvent(event);
}

void TForm3::FormShow()
{
    Edit2->setText(readStepSetting(settingsFolder_, kStepBackKey));
    Edit3->setText(readStepSetting(settingsFolder_, kSpareStepKey));
    Edit1->setText(readStepSetting(settingsFolder_, kStepForwardKey));
}

void TForm3::Button1Click()
{
    // Written exactly as typed, numbers or not: a bad value shows when a step uses it.
    writeStepSetting(settingsFolder_, kStepBackKey, Edit2->text());
    writeStepSetting(settingsFolder_, kSpareStepKey, Edit3->text());
    writeStepSetting(settingsFolder_, kStepForwardKey, Edit1->text());
    showPlainMessage(desktop_, this, QStringLiteral("更改时间成功!"));
    accept();
}

} // namespace tavrin
