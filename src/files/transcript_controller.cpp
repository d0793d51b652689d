#include "files/transcript_controller.h"

#include "desktop/command_runner.h"
#include "desktop/desktop.h"
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "files/line_length.h"
#include "files/recovery_journal.h"
#include "files/transcript_file.h"
#include "files/transcript_journal.h"

#include <QFile>
#include <QLabel>

namespace tavrin {

namespace {

const QString kSaved = QStringLiteral("保存成功！");
const QString kSaveFailed = QStringLiteral("保存失败，请联系客服。");
const QString kNothingToSaveBeside =
    QStringLiteral("还没有加载音视频文件，文稿无法保存。文稿保存在录音文件旁边，请先加载音视频文件。");
const QString kUnreadableBytes =
    QStringLiteral("文稿中有%1个字节无法识别，已用“\uFFFD”标出。保存时这些位置将写入“\uFFFD”，请先核对原文件。");
const QString kRunTooLong =
    QStringLiteral("文稿未加载：其中有一段长达%1个字符的文字中间没有空格，编辑器无法为它换行，最多只能处理%"
                   "2个字符，否则打字会十分卡顿。请先在其他编辑器中在这段文字里加入空格或换行。");
const QString kLineTooLong = QStringLiteral("文稿未加载：其中有一行长达%1个字符，编辑器每行最多只能处理%"
                                            "2个字符，否则打字会十分卡顿。请先在其他编辑器中把这一行分成多行。");

const QString kRecoveredAfterCrash = QStringLiteral("上次没有正常退出，未保存的文稿已恢复。请及时保存。");
const QString kRecoveredAfterClose = QStringLiteral("上次关闭程序时文稿尚未保存，已为你恢复。请及时保存。");
const QString kJournalFailed =
    QStringLiteral("无法写入文稿的恢复记录（磁盘可能已满），程序意外退出时未保存的内容可能丢失。请及时保存文稿。");

QByteArray readWhole(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TranscriptController::TranscriptController(const Widgets& widgets, Desktop& desktop)
    : widgets_(widgets)
    , desktop_(desktop)
{
}

void TranscriptController::showMessage(const QString& text)
{
    showPlainMessage(desktop_, widgets_.owner, text);
}

void TranscriptController::save()
{
    if (recording_.isEmpty()) {
        showMessage(kNothingToSaveBeside);
    } else {
        try {
            saveTranscript(recording_, editorText(widgets_.editor), writeFaults_);
            if (journal_)
                journal_->retire();
            widgets_.savedNotice->setText(kSaved);
            widgets_.savedNotice->show();
        } catch (const std::exception&) {
            showMessage(kSaveFailed);
        }
    }
    widgets_.editor->setFocus();
}

void TranscriptController::chooseAndLoad()
{
    const QString path = desktop_.chooseFileToOpen(widgets_.owner, QString(), QString());
    if (!path.isEmpty()) {
        // A file that cannot be read, or is too large, ends the command in the
        // default error box and leaves the editor's text as it was.
        const DecodedTranscript transcript = loadTranscript(path);
        if (refusesToEdit(transcript.text))
            return;
        widgets_.editor->setPlainText(transcript.text);
        if (journal_)
            journal_->retire(); // the text is a file's: nothing to recover until it changes
        if (transcript.unreadableBytes > 0)
            showMessage(kUnreadableBytes.arg(transcript.unreadableBytes));
    }
    widgets_.editor->setFocus();
}

// Refused before the editor sees it: laying out such a line would freeze the
// window for every key press, and the text the user has typed stays.
bool TranscriptController::refusesToEdit(const QString& text)
{
    if (const qsizetype longest = longestLineLength(text); longest > kLongestEditorLine) {
        showMessage(kLineTooLong.arg(longest).arg(kLongestEditorLine));
        return true;
    }
    if (const qsizetype run = longestUnbrokenRun(text); run > kLongestUnbrokenRun) {
        showMessage(kRunTooLong.arg(run).arg(kLongestUnbrokenRun));
        return true;
    }
    return false;
}

void TranscriptController::setRecording(const QString& path)
{
    recording_ = path;
    if (journal_)
        journal_->setRecording(path);
}

bool TranscriptController::recoverUnsaved(const std::function<bool(const QString&, qint64)>& reopen)
{
    if (!journal_)
        return false;
    QObject::connect(
        journal_, &TranscriptJournal::writingFailed, widgets_.owner, [this] { showMessage(kJournalFailed); },
        Qt::UniqueConnection);
    for (const QString& path : TranscriptJournal::unfinishedJournals(journal_->folder())) {
        const ReplayedJournal replayed = replayJournal(readWhole(path));
        if (replayed.ending == ReplayedJournal::Ending::WrongHeader || replayed.text.isEmpty())
            continue; // another version's, or nothing to lose: left where it is
        journal_->adopt(path);
        // The editor keeps paragraphs apart with U+2029; a transcript has line breaks.
        widgets_.editor->setPlainText(QString(replayed.text).replace(QChar::ParagraphSeparator, u'\n'));
        if (!replayed.recording.isEmpty() && QFile::exists(replayed.recording)
            && reopen(replayed.recording, replayed.positionMs))
            setRecording(replayed.recording);
        showMessage(replayed.closed ? kRecoveredAfterClose : kRecoveredAfterCrash);
        widgets_.editor->setFocus();
        return true;
    }
    return false;
}

} // namespace tavrin
