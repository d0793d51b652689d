#include "workbench/transcript_controller.h"

#include "desktop/app_texts.h"
#include "desktop/command_runner.h"
#include "desktop/desktop.h"
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "files/file_memory.h"
#include "files/line_length.h"
#include "files/link_rules.h"
#include "files/path_bytes.h"
#include "files/recovery_journal.h"
#include "files/transcript_file.h"
#include "files/transcript_journal.h"

#include <QFile>
#include <QLabel>
#include <QTextDocument>

namespace tavrin {

namespace {

const QString kSaved = QStringLiteral("保存成功！");
const QString kSaveFailed = QStringLiteral("保存失败，请联系客服。");
const QString kNothingToSaveBeside =
    QStringLiteral("还没有加载音视频文件，文稿无法保存。文稿保存在录音文件旁边，请先加载音视频文件。");
const QString kUnreadableBytes =
    texts::kUnreadableBytes.toString() + QStringLiteral("保存时这些位置将写入“\uFFFD”，请先核对原文件。");
const QString kRunTooLong =
    QStringLiteral("文稿未加载：其中有一段长达%1个字符的文字中间没有空格，编辑器无法为它换行，最多只能处理%"
                   "2个字符，否则打字会十分卡顿。请先在其他编辑器中在这段文字里加入空格或换行。");
const QString kLineTooLong = QStringLiteral("文稿未加载：其中有一行长达%1个字符，编辑器每行最多只能处理%"
                                            "2个字符，否则打字会十分卡顿。请先在其他编辑器中把这一行分成多行。");

const QString kRecoveredAfterCrash = QStringLiteral("上次没有正常退出，未保存的文稿已恢复。请及时保存。");
const QString kRecoveredAfterClose = QStringLiteral("上次关闭程序时文稿尚未保存，已为你恢复。请及时保存。");
const QString kJournalDamaged = QStringLiteral("\n\n恢复记录中有一处损坏，文稿已恢复到损坏处之前的内容。");
const QString kOthersUnsaved = QStringLiteral("\n\n另有%1份未保存的文稿，保存这份文稿后将逐一为你恢复。");
const QString kOfferNextUnsaved =
    QStringLiteral("还有一份上次未保存的文稿（%1个字）。是否现在恢复它？\n\n选“否”将保留它，下次启动时再询问。");
const QString kReplaceQuestion = QStringLiteral(
    "文稿文件“%1”已被其他程序改动过，或者不是在本程序中打开的。\n\n是否用编辑器中的文字替换它？选“否”不写入任何内容。");
const QString kTranscriptBroughtBack = QStringLiteral("已加载这个录音的文稿“%1”。");
const QString kLoadExistingQuestion =
    QStringLiteral("这个录音已有文稿“%1”。\n\n是否加载这份文稿？选“是”，编辑器中现有的文字将被它替换%"
                   "2；选“否”，保留编辑器中现有的文字。两种选择都不会写入任何文件。");
const QString kReplaceUnsavedQuestion = QStringLiteral("编辑器中的文字尚未保存。是否加载文稿“%1”替换它们？");
const QString kEditorTextUnsaved = QStringLiteral("（这些文字尚未保存）");
const QString kSaveForPreviousQuestion = QStringLiteral("编辑器中录音“%1”的文稿还没有保存。\n\n是否先把它保存到“%2”？");
const QString kJournalFailed =
    QStringLiteral("无法写入文稿的恢复记录（磁盘可能已满），程序意外退出时未保存的内容可能丢失。请及时保存文稿。");
const QString kJournalFolderRefused = QStringLiteral(
    "无法写入文稿的恢复记录：文件夹“%1”属于其他用户，或者其他用户也能写入，为安全起见本程序不在那里保存任何内容。"
    "程序意外退出时未保存的内容可能丢失。请及时保存文稿，并让这个文件夹只属于你自己。");
const QString kLinkNotSaved =
    QStringLiteral("%1\n\n文稿没有保存，编辑器中的文字保持不变。如果这个链接不是你建立的，请删除它后再保存。");
const QString kLinkNotLoaded = QStringLiteral("%1\n\n这份文稿没有加载。");

// Why a link at the transcript beside a recording is not followed; nothing when it may
// be (see LinkRule::FollowOwn) or there is none.
std::optional<QString> linkRefusal(const QString& transcriptPath)
{
    try {
        resolveWriteTarget(transcriptPath, LinkRule::FollowOwn);
    } catch (const LinkRefused& refused) {
        return QString::fromUtf8(refused.what());
    } catch (const std::exception&) {
        // Not the link's fault: the save itself tells it.
    }
    return std::nullopt;
}

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

void TranscriptController::setJournal(TranscriptJournal* journal)
{
    journal_ = journal;
    QObject::connect(journal_, &TranscriptJournal::writingFailed, widgets_.owner,
                     [this] { showMessage(kJournalFailed); });
    QObject::connect(journal_, &TranscriptJournal::folderRefused, widgets_.owner,
                     [this](const QString& folder) { showMessage(kJournalFolderRefused.arg(folder)); });
}

void TranscriptController::showMessage(const QString& text)
{
    showPlainMessage(desktop_, widgets_.owner, text);
}

bool TranscriptController::ask(const QString& question)
{
    return desktop_.askYesNo(widgets_.owner, texts::kNoticeCaption.toString(), question, BoxIcon::Question);
}

void TranscriptController::save()
{
    if (recording_.isEmpty())
        showMessage(kNothingToSaveBeside);
    else if (saveBeside(recording_))
        offerNextUnsaved();
    widgets_.editor->setFocus();
}

bool TranscriptController::saveBeside(const QString& recording)
{
    const QString path = transcriptPathFor(recording);
    if (const std::optional<QString> refusal = linkRefusal(path)) {
        showMessage(kLinkNotSaved.arg(*refusal));
        return false;
    }
    if (!mayReplace(path))
        return false;
    try {
        const QByteArray written = saveTranscript(recording, editorText(widgets_.editor), writeFaults_);
        if (fileMemory_)
            fileMemory_->rememberContent(path, transcriptDigest(written));
    } catch (const std::exception&) {
        showMessage(kSaveFailed);
        return false;
    }
    textFile_ = path;
    widgets_.editor->document()->setModified(false);
    if (journal_)
        journal_->retire();
    widgets_.savedNotice->setText(kSaved);
    widgets_.savedNotice->show();
    return true;
}

// A transcript whose bytes are not those last loaded or saved here was written
// by someone else (or never seen): replacing it is the user's decision.
bool TranscriptController::mayReplace(const QString& transcriptPath)
{
    if (!fileMemory_ || !pathExists(transcriptPath) || fileMemory_->holdsWhatWasLastSeen(transcriptPath))
        return true;
    return ask(kReplaceQuestion.arg(transcriptPath));
}

void TranscriptController::chooseAndLoad()
{
    const QString path = desktop_.chooseFileToOpen(widgets_.owner, QString(), QString());
    if (!path.isEmpty() && !loadIntoEditor(path))
        return; // as after an error, the focus stays where it was
    widgets_.editor->setFocus();
}

// Not chosen in the dialog but given from outside: unsaved text is replaced
// only with the user's word.
void TranscriptController::load(const QString& path)
{
    const bool unsaved = widgets_.editor->document()->isModified() && !editorText(widgets_.editor).trimmed().isEmpty();
    if (unsaved && !ask(kReplaceUnsavedQuestion.arg(path)))
        return;
    if (loadIntoEditor(path))
        widgets_.editor->setFocus();
}

// A file that cannot be read, or is too large, ends the command in the default
// error box and leaves the editor's text as it was.
bool TranscriptController::loadIntoEditor(const QString& path)
{
    const LoadedTranscript transcript = loadTranscript(path);
    if (refusesToEdit(transcript.text))
        return false;
    if (journal_)
        journal_->retire(); // the text is a file's: nothing to recover until it changes
    replaceEditorText(transcript.text);
    widgets_.editor->document()->setModified(false);
    textFile_ = path;
    if (fileMemory_)
        fileMemory_->rememberContent(path, transcript.digest);
    if (transcript.unreadableBytes > 0)
        showMessage(kUnreadableBytes.arg(transcript.unreadableBytes));
    return true;
}

// The whole text at once: a file's or a journal's, which holds it already.
void TranscriptController::replaceEditorText(const QString& text)
{
    if (journal_)
        journal_->ignoreChangesWhile([&] { widgets_.editor->setPlainText(text); });
    else
        widgets_.editor->setPlainText(text);
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

void TranscriptController::takeRecording(const QString& path)
{
    offerToSaveForPrevious(path);
    setRecording(path);
    const QString transcript = transcriptPathFor(path);
    if (!isRegularFile(transcript) || textFile_ == transcript)
        return; // nothing to bring back, or the editor holds it already
    if (const std::optional<QString> refusal = linkRefusal(transcript)) {
        showMessage(kLinkNotLoaded.arg(*refusal));
        return;
    }
    if (editorText(widgets_.editor).trimmed().isEmpty()) { // blank lines alone hold nothing to keep
        if (loadIntoEditor(transcript))
            showMessage(kTranscriptBroughtBack.arg(transcript));
    } else {
        const bool unsaved = widgets_.editor->document()->isModified();
        if (ask(kLoadExistingQuestion.arg(transcript, unsaved ? kEditorTextUnsaved : QString())))
            loadIntoEditor(transcript);
    }
    widgets_.editor->setFocus();
}

// Text typed for one recording would otherwise be saved beside the next one.
void TranscriptController::offerToSaveForPrevious(const QString& nextRecording)
{
    if (recording_.isEmpty() || recording_ == nextRecording || !widgets_.editor->document()->isModified()
        || editorText(widgets_.editor).isEmpty())
        return;
    if (ask(kSaveForPreviousQuestion.arg(recording_, transcriptPathFor(recording_))))
        saveBeside(recording_);
}

bool TranscriptController::recoverUnsaved(const std::function<bool(const QString&, qint64)>& reopen)
{
    if (!journal_)
        return false;
    reopen_ = reopen;
    otherUnsaved_ = TranscriptJournal::unfinishedJournals(journal_->folder());
    while (!otherUnsaved_.isEmpty()) {
        const QString path = otherUnsaved_.takeFirst();
        if (const std::optional<ReplayedJournal> replayed = unsavedTextOf(path)) {
            bringBack(path, *replayed);
            const QString damage = replayed->ending == ReplayedJournal::Ending::Corrupt ? kJournalDamaged : QString();
            const QString others = otherUnsaved_.isEmpty() ? QString() : kOthersUnsaved.arg(otherUnsaved_.size());
            showMessage((replayed->closed ? kRecoveredAfterClose : kRecoveredAfterCrash) + damage + others);
            widgets_.editor->setFocus();
            return true;
        }
    }
    return false;
}

// Nothing for a journal of another version, or one with an empty text: such a
// journal is left where it is.
std::optional<ReplayedJournal> TranscriptController::unsavedTextOf(const QString& journalPath)
{
    ReplayedJournal replayed = replayJournal(readWhole(journalPath));
    if (replayed.ending == ReplayedJournal::Ending::WrongHeader || replayed.text.isEmpty())
        return std::nullopt;
    return replayed;
}

// Puts the text a journal of an earlier run holds into the editor, goes on
// in that journal, and reopens its recording where playback was.
void TranscriptController::bringBack(const QString& journalPath, const ReplayedJournal& replayed)
{
    // The editor keeps paragraphs apart with U+2029; a transcript has line breaks.
    replaceEditorText(QString(replayed.text).replace(QChar::ParagraphSeparator, u'\n'));
    // Only now: until the journal starts afresh from the text, its file stays as it was.
    journal_->adopt(journalPath);
    widgets_.editor->document()->setModified(true);
    textFile_.clear();
    if (!replayed.recording.isEmpty() && pathExists(replayed.recording)
        && reopen_(replayed.recording, replayed.positionMs)) {
        setRecording(replayed.recording);
        textFile_ = transcriptPathFor(replayed.recording);
    }
}

// The text just saved made room in the editor for the next unsaved one.
void TranscriptController::offerNextUnsaved()
{
    while (!otherUnsaved_.isEmpty()) {
        const QString path = otherUnsaved_.takeFirst();
        const std::optional<ReplayedJournal> replayed = unsavedTextOf(path);
        if (!replayed)
            continue;
        if (ask(kOfferNextUnsaved.arg(replayed->text.size())))
            bringBack(path, *replayed);
        else
            otherUnsaved_.clear(); // kept on disk, offered again at the next start
        return;
    }
}

} // namespace tavrin
