#include "dialogs/speakers_dialog.h"

#include "desktop/command_runner.h"
#include "desktop/fonts.h"
#include "desktop/widget_placing.h"
#include "transcript/speaker_labels.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSet>

using namespace Qt::StringLiterals;

namespace tavrin {

SpeakersDialog::SpeakersDialog(QWidget* owner, Desktop& desktop)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , desktop_(desktop)
{
    setObjectName(u"SpeakersDialog"_s);
    setWindowTitle(u"说话人设置"_s);
    setModal(true);
    setFont(interfaceFont());
    resize(281, 360);
    label(this, u"explanation"_s, u"按下快捷键，另起一段，写上时间和说话人："_s, QRect(20, 14, 251, 13));
    for (int i = 0; i < kNames; ++i) {
        const int top = 40 + i * 30;
        label(this, u"keyLabel%1"_s.arg(i + 1), u"Ctrl+%1"_s.arg(i + 1), QRect(20, top + 4, 51, 13));
        nameBoxes[i] = place(new QLineEdit(this), u"name%1"_s.arg(i + 1), QRect(74, top, 181, 21));
        nameBoxes[i]->setAccessibleName(u"Ctrl+%1 的说话人"_s.arg(i + 1));
        nameBoxes[i]->setMaxLength(kLongestSpeakerName);
    }
    saveButton = place(new QPushButton(u"保存设置"_s, this), u"saveButton"_s, QRect(103, 318, 75, 25));
    saveButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (namesAreUsable())
            accept();
    });
}

void SpeakersDialog::setNames(const QStringList& names)
{
    for (int i = 0; i < kNames; ++i)
        nameBoxes[i]->setText(names.value(i));
}

QStringList SpeakersDialog::names() const
{
    QStringList names;
    for (const QLineEdit* box : nameBoxes)
        names.append(box->text().trimmed());
    return names;
}

bool SpeakersDialog::namesAreUsable()
{
    QSet<QString> seen;
    const QStringList given = names();
    for (int i = 0; i < kNames; ++i) {
        const QString& name = given[i];
        if (name.isEmpty())
            continue;
        QString problem;
        if (!isSpeakerName(name))
            problem = u"Ctrl+%1 的名字“%2”不能用：名字里不能有空格和标点（冒号、逗号、句号、引号）。"_s;
        else if (seen.contains(name))
            problem = u"Ctrl+%1 的名字“%2”和前面的重复了。"_s;
        if (!problem.isEmpty()) {
            showPlainMessage(desktop_, this, problem.arg(i + 1).arg(name));
            nameBoxes[i]->setFocus();
            return false;
        }
        seen.insert(name);
    }
    return true;
}

} // namespace tavrin
