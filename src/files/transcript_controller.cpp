#include "files/transcript_controller.h"

#include "desktop/command_runner.h"
#include "desktop/desktop.h"
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "files/line_length.h"
#include "files/transcript_file.h"

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

} // namespace tavrin
