#include "workbench/draft_controller.h"

#include "desktop/app_texts.h"
#include "desktop/desktop.h"
#include "dialogs/draft_options_dialog.h"
#include "editor/transcript_edit.h"
#include "player/media_player.h"
#include "settings/draft_options.h"
#include "speech/draft_progress.h"
#include "speech/model_folder.h"
#include "transcript/text_times_watcher.h"
#include "transcript/time_marks.h"

#include <QProgressDialog>
#include <QTextBlock>
#include <QTextCursor>
#include <QThread>

#include <utility>

namespace tavrin {

namespace {

const QString kDraftTitle = QStringLiteral("自动初稿");
const QString kAskToAppend =
    QStringLiteral("文稿中已有内容。自动初稿将在完成后添加到文稿末尾，已有的内容保持不变。\n\n是否开始自动初稿？");
const QString kDone = QStringLiteral("自动初稿已完成：共 %1 段。");
const QString kNoSpeech = QStringLiteral("自动初稿已完成：录音中没有找到说话的声音。");

// The mark F8 would type at the utterance's start, the words after it, each word
// timed where the helper heard it.
DraftController::Drafted paragraphFor(double startSeconds, const QString& text, const std::vector<WordTime>& words)
{
    DraftController::Drafted paragraph{timeMarkAt(startSeconds) + text, {}};
    const auto markLength = qint32(paragraph.text.size() - text.size());
    for (const WordTime& word : words)
        paragraph.times.push_back({markLength + word.at, word.length, word.seconds});
    return paragraph;
}

} // namespace

DraftController::DraftController(const Widgets& widgets, MediaPlayer& player, Desktop& desktop,
                                 const DraftPlaces& places, QString settingsFolder)
    : widgets_(widgets)
    , player_(player)
    , desktop_(desktop)
    , process_(places)
    , settingsFolder_(std::move(settingsFolder))
{
    connect(&process_, &DraftProcess::started, this, [this](double seconds) { durationSeconds_ = seconds; });
    connect(&process_, &DraftProcess::progressed, this, &DraftController::showProgress);
    connect(&process_, &DraftProcess::utteranceFound, this,
            [this](double start, double, const QString& text, const std::vector<WordTime>& words) {
                place(start, text, words);
            });
    connect(&process_, &DraftProcess::finished, this, &DraftController::finish);
    connect(&process_, &DraftProcess::failed, this, &DraftController::fail);
}

void DraftController::recordingOpened(const QString& recording)
{
    // The draft was of the one before, and what it still held back belongs to
    // that one's text, not to the text now in the editor.
    if (!isRunning() || recording == recording_)
        return;
    held_.clear();
    cancel();
}

DraftController::~DraftController() = default;

void DraftController::startDraft()
{
    if (isRunning()) {
        progress_->show();
        progress_->raise();
        return;
    }
    recording_ = player_.url();
    if (recording_.isEmpty()) {
        desktop_.showMessage(widgets_.window, texts::kNoticeCaption.toString(), texts::kNothingLoaded.toString(),
                             BoxIcon::Information);
        return;
    }
    const std::optional<DraftRequest> request = requestFor(recording_);
    if (!request)
        return;
    const bool empty = widgets_.editor->document()->isEmpty();
    if (!empty
        && !desktop_.askYesNo(widgets_.window, texts::kNoticeCaption.toString(), kAskToAppend, BoxIcon::Question))
        return;
    placing_ = empty ? Placing::AsItComes : Placing::AtTheEnd;
    held_.clear();
    found_ = 0;
    durationSeconds_ = 0;
    openProgress();
    clock_.start();
    process_.start(*request);
}

void DraftController::openProgress()
{
    progress_ =
        new QProgressDialog(QStringLiteral("正在生成自动初稿…"), QStringLiteral("取消"), 0, 1000, widgets_.window);
    progress_->setWindowTitle(kDraftTitle);
    progress_->setAccessibleName(kDraftTitle);
    // Typing goes on in the window while it runs.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setAttribute(Qt::WA_ShowWithoutActivating);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    connect(progress_, &QProgressDialog::canceled, this, &DraftController::cancel);
    progress_->show();
}

void DraftController::showOptions()
{
    if (!optionsDialog_) {
        optionsDialog_ = new DraftOptionsDialog(widgets_.window, desktop_, settingsFolder_, [](const QString& folder) {
            return inspectModelFolder(folder).problem;
        });
    }
    optionsDialog_->exec();
}

std::optional<DraftRequest> DraftController::requestFor(const QString& recording)
{
    const StoredDraftOptions stored = readDraftOptions(settingsFolder_);
    for (const QString& problem : stored.problems)
        desktop_.showMessage(widgets_.window, texts::kNoticeCaption.toString(), problem, BoxIcon::Information);
    const DraftOptions& options = stored.options;
    if (!options.modelFolder.isEmpty()) {
        const ModelFolder folder = inspectModelFolder(options.modelFolder);
        if (!folder.usable) {
            desktop_.showMessage(widgets_.window, texts::kNoticeCaption.toString(), folder.problem, BoxIcon::Stop);
            return std::nullopt;
        }
    }
    return DraftRequest{recording,
                        options.modelFolder,
                        options.language,
                        options.punctuation,
                        draftThreads(options.threads, QThread::idealThreadCount()),
                        options.toSimplified};
}

void DraftController::cancel()
{
    process_.cancel();
    endDraft();
}

void DraftController::showProgress(double seconds)
{
    if (!progress_)
        return;
    const DraftProgress shown = draftProgress(seconds, durationSeconds_, clock_.elapsed() / 1000.0);
    progress_->setValue(durationSeconds_ > 0 ? shown.thousandths : 0);
    progress_->setLabelText(QStringLiteral("正在生成自动初稿…") + shown.text);
}

void DraftController::place(double startSeconds, const QString& text, const std::vector<WordTime>& words)
{
    ++found_;
    Drafted paragraph = paragraphFor(startSeconds, text, words);
    if (placing_ == Placing::AtTheEnd)
        held_.push_back(std::move(paragraph));
    else
        appendParagraphs({paragraph});
}

// At the end of the text, as edits of their own: the caret and the selection
// stay where the user is typing.
void DraftController::appendParagraphs(const std::vector<Drafted>& paragraphs)
{
    if (paragraphs.empty())
        return;
    QTextDocument* document = widgets_.editor->document();
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    const bool startsLine = document->isEmpty() || document->lastBlock().text().isEmpty();
    QString text = startsLine ? QString() : QStringLiteral("\n");
    std::vector<TextTimes::Stretch> times;
    const auto from = qint32(end.position());
    for (const Drafted& paragraph : paragraphs) {
        for (const TextTimes::Stretch& word : paragraph.times)
            times.push_back({from + qint32(text.size()) + word.at, word.length, word.seconds});
        text += paragraph.text + u'\n';
    }
    end.insertText(text);
    if (times_)
        times_->add(times);
}

void DraftController::finish()
{
    endDraft();
    desktop_.showMessage(widgets_.window, texts::kNoticeCaption.toString(), found_ > 0 ? kDone.arg(found_) : kNoSpeech,
                         BoxIcon::Information);
}

void DraftController::fail(const QString& message)
{
    endDraft();
    desktop_.showMessage(widgets_.window, texts::kNoticeCaption.toString(), message, BoxIcon::Stop);
}

// However it ends, what was found is kept: what was held back goes to the end now.
void DraftController::endDraft()
{
    if (placing_ == Placing::AtTheEnd)
        appendParagraphs(held_);
    held_.clear();
    closeProgress();
}

void DraftController::closeProgress()
{
    if (!progress_)
        return;
    progress_->disconnect(this);
    progress_->close();
    progress_->deleteLater();
    progress_ = nullptr;
}

} // namespace tavrin
