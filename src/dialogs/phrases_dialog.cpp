#include "dialogs/phrases_dialog.h"

#include "desktop/command_runner.h"
#include "desktop/fonts.h"
#include "desktop/widget_placing.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <utility>

using namespace Qt::StringLiterals;

namespace tavrin {

PhrasesDialog::PhrasesDialog(QWidget* owner, Desktop& desktop, QString settingsFolder)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , desktop_(desktop)
    , settingsFolder_(std::move(settingsFolder))
{
    setObjectName(u"PhrasesDialog"_s);
    setWindowTitle(u"短语和缩写设置"_s);
    setModal(true);
    setFont(interfaceFont());
    resize(461, 500);
    label(this, u"phrasesNote"_s, u"短语：按下快捷键插入；{时间} 处写上当前时间标记。"_s, QRect(20, 12, 421, 13));
    for (int i = 0; i < kPhraseCount; ++i) {
        const int top = 34 + i * 26;
        label(this, u"phraseKey%1"_s.arg(i + 1), phraseKeyName(i), QRect(20, top + 4, 61, 13));
        phraseBoxes[i] = place(new QLineEdit(this), u"phrase%1"_s.arg(i + 1), QRect(84, top, 357, 21));
        phraseBoxes[i]->setAccessibleName(phraseKeyName(i) + u" 的短语"_s);
    }
    label(this, u"abbreviationsNote"_s, u"缩写：每行一个，写成 缩写=全称；在缩写后按下面的键展开。"_s,
          QRect(20, 302, 421, 13));
    abbreviations = place(new QPlainTextEdit(this), u"abbreviations"_s, QRect(20, 322, 421, 100));
    abbreviations->setAccessibleName(u"缩写"_s);
    abbreviations->setTabChangesFocus(true);
    label(this, u"expandKeyLabel"_s, u"展开缩写的键"_s, QRect(20, 436, 91, 13));
    expandKey = place(new QComboBox(this), u"expandKey"_s, QRect(114, 432, 71, 21));
    expandKey->addItem(u"F5"_s, int(ExpandKey::F5));
    expandKey->addItem(u"F11"_s, int(ExpandKey::F11));
    expandKey->setAccessibleName(u"展开缩写的键"_s);
    saveButton = place(new QPushButton(u"保存设置"_s, this), u"saveButton"_s, QRect(193, 464, 75, 25));
    saveButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, [this] {
        runCommand(desktop_, this, [this] {
            if (saveOptions())
                accept();
        });
    });
}

void PhrasesDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const StoredPhraseOptions stored = readPhraseOptions(settingsFolder_);
    for (int i = 0; i < kPhraseCount; ++i)
        phraseBoxes[i]->setText(stored.options.phrases[i]);
    abbreviations->setPlainText(abbreviationLines(stored.options.abbreviations));
    expandKey->setCurrentIndex(expandKey->findData(int(stored.options.expandKey)));
    phraseBoxes[0]->setFocus();
}

bool PhrasesDialog::saveOptions()
{
    PhraseOptions options;
    for (int i = 0; i < kPhraseCount; ++i)
        options.phrases[i] = phraseBoxes[i]->text();
    QStringList problems;
    options.abbreviations = parseAbbreviations(abbreviations->toPlainText(), &problems);
    for (const Abbreviation& abbreviation : std::as_const(options.abbreviations)) {
        if (abbreviation.text.contains(u'|'))
            problems.append(u"“%1”的全称里不能有竖线 |。"_s.arg(abbreviation.code));
    }
    if (!problems.isEmpty()) {
        showPlainMessage(desktop_, this, problems.join(u'\n'));
        abbreviations->setFocus();
        return false;
    }
    options.expandKey = ExpandKey(expandKey->currentData().toInt());
    writePhraseOptions(settingsFolder_, options);
    showPlainMessage(desktop_, this, u"更改设置成功!"_s);
    return true;
}

} // namespace tavrin
