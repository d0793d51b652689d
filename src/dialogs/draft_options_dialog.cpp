#include "dialogs/draft_options_dialog.h"

#include "desktop/command_runner.h"
#include "desktop/desktop.h"
#include "desktop/fonts.h"
#include "desktop/widget_placing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <utility>

namespace tavrin {

namespace {

const std::pair<const char16_t*, const char16_t*> kLanguages[] = {
    {u"中文（普通话）", u"zh"}, {u"粤语", u"yue"}, {u"英语", u"en"},
    {u"日语", u"ja"},           {u"韩语", u"ko"},  {u"自动识别", u"auto"},
};

} // namespace

DraftOptionsDialog::DraftOptionsDialog(QWidget* owner, Desktop& desktop, QString settingsFolder, ModelCheck checkModel)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , desktop_(desktop)
    , settingsFolder_(std::move(settingsFolder))
    , checkModel_(std::move(checkModel))
{
    setObjectName(QStringLiteral("DraftOptionsDialog"));
    setWindowTitle(QStringLiteral("自动初稿设置"));
    setModal(true);
    setFont(interfaceFont());
    resize(441, 240);

    label(this, QStringLiteral("modelFolderLabel"), QStringLiteral("识别模型文件夹"), QRect(20, 24, 91, 13));
    modelFolder = place(new QLineEdit(this), QStringLiteral("modelFolder"), QRect(114, 20, 231, 21));
    modelFolder->setAccessibleName(QStringLiteral("识别模型文件夹"));
    modelFolder->setPlaceholderText(QStringLiteral("不填：初稿只标出每段话的时间"));
    chooseButton =
        place(new QPushButton(QStringLiteral("选择…"), this), QStringLiteral("chooseButton"), QRect(352, 18, 69, 25));
    chooseButton->setAutoDefault(false);

    label(this, QStringLiteral("languageLabel"), QStringLiteral("语言"), QRect(20, 60, 91, 13));
    language = place(new QComboBox(this), QStringLiteral("language"), QRect(114, 56, 131, 21));
    language->setAccessibleName(QStringLiteral("语言"));
    for (const auto& [caption, code] : kLanguages)
        language->addItem(QString::fromUtf16(caption), QString::fromUtf16(code));

    punctuation = place(new QCheckBox(QStringLiteral("加标点、数字写成阿拉伯数字"), this),
                        QStringLiteral("punctuation"), QRect(114, 92, 281, 17));

    label(this, QStringLiteral("threadsLabel"), QStringLiteral("线程数"), QRect(20, 128, 91, 13));
    threads = place(new QSpinBox(this), QStringLiteral("threads"), QRect(114, 124, 55, 21));
    threads->setRange(0, 64);
    threads->setSpecialValueText(QStringLiteral("自动"));
    threads->setAccessibleName(QStringLiteral("线程数"));

    toSimplified = place(new QCheckBox(QStringLiteral("繁体字转为简体字"), this), QStringLiteral("toSimplified"),
                         QRect(114, 160, 281, 17));

    saveButton =
        place(new QPushButton(QStringLiteral("保存设置"), this), QStringLiteral("saveButton"), QRect(183, 196, 75, 25));
    saveButton->setAutoDefault(false);
    connect(chooseButton, &QPushButton::clicked, this,
            [this] { runCommand(desktop_, this, [this] { chooseModel(); }); });
    connect(saveButton, &QPushButton::clicked, this, [this] {
        runCommand(desktop_, this, [this] {
            if (saveOptions())
                accept();
        });
    });
}

DraftOptions DraftOptionsDialog::shownOptions() const
{
    return DraftOptions{modelFolder->text().trimmed(), language->currentData().toString(), punctuation->isChecked(),
                        threads->value(), toSimplified->isChecked()};
}

bool DraftOptionsDialog::saveOptions()
{
    const DraftOptions options = shownOptions();
    if (!options.modelFolder.isEmpty()) {
        if (const QString problem = checkModel_(options.modelFolder); !problem.isEmpty()) {
            tell(problem);
            return false;
        }
    }
    writeDraftOptions(settingsFolder_, options);
    return true;
}

void DraftOptionsDialog::showEvent(QShowEvent* event)
{
    showStored();
    QDialog::showEvent(event);
}

// A model is chosen by one of its files: the published archives are folders of them.
void DraftOptionsDialog::chooseModel()
{
    const QString file = desktop_.chooseFileToOpen(this, QStringLiteral("请选择识别模型中的一个文件"),
                                                   QStringLiteral("模型文件 (*.onnx *.txt)"));
    if (!file.isEmpty())
        modelFolder->setText(QFileInfo(file).absolutePath());
}

void DraftOptionsDialog::showStored()
{
    const StoredDraftOptions stored = readDraftOptions(settingsFolder_);
    modelFolder->setText(stored.options.modelFolder);
    language->setCurrentIndex(std::max(0, language->findData(stored.options.language)));
    punctuation->setChecked(stored.options.punctuation);
    threads->setValue(stored.options.threads);
    toSimplified->setChecked(stored.options.toSimplified);
}

void DraftOptionsDialog::tell(const QString& text)
{
    desktop_.showMessage(this, QStringLiteral("提示"), text, BoxIcon::Information);
}

} // namespace tavrin
