#include "app/main_window.h"

#include "desktop/desktop.h"
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "files/line_length.h"
#include "files/transcript_file.h"

#include <QLabel>
#include <QTimer>

namespace tavrin {

namespace {

const QString kRecordingDialogTitle = QStringLiteral("请选择录音文件");
const QString kRecordingFilter = QStringLiteral("录音文件 (*)");
const QString kRecordingLoaded = QStringLiteral(
    "加载音视频文件成功！点击保存文稿按钮后，可以通过按快捷键空格（回车）进行播放与暂停边听边整理了。");
const QString kRecordingFailed = QStringLiteral("加载音视频文件失败！");
const QString kSaved = QStringLiteral("保存成功！");
const QString kSaveFailed = QStringLiteral("保存失败，请联系客服。");
const QString kNothingToSaveBeside =
    QStringLiteral("还没有加载音视频文件，文稿无法保存。文稿保存在录音文件旁边，请先加载音视频文件。");
const QString kUnreadableBytes =
    QStringLiteral("文稿中有%1个字节无法识别，已用“\uFFFD”标出。保存时这些位置将写入“\uFFFD”，请先核对原文件。");
const QString kRunTooLong = QStringLiteral(
    "文稿未加载：其中有一段长达%1个字符的文字中间没有空格，编辑器无法为它换行，最多只能处理%2个字符，否则打字会十分卡顿。请先在其他编辑器中在这段文字里加入空格或换行。");
const QString kLineTooLong = QStringLiteral(
    "文稿未加载：其中有一行长达%1个字符，编辑器每行最多只能处理%2个字符，否则打字会十分卡顿。请先在其他编辑器中把这一行分成多行。");

} // namespace

void TMainForm1::N8Click()
{
    // The player (libmpv and the libraries it brings, some 60 MB) starts only
    // when it is first needed, while the user looks for the recording.
    WindowsMediaPlayer1->startInBackground();
    const QString path = environment_.desktop->chooseFileToOpen(this, kRecordingDialogTitle, kRecordingFilter);
    if (!path.isEmpty()) {
        try {
            // The player waits for its verdict: a file it cannot play is a failure,
            // and the recording loaded before stays loaded and stays the save target.
            WindowsMediaPlayer1->setUrl(path);
            WindowsMediaPlayer1->stop();
            Timer1->start();
            showPlainMessage(kRecordingLoaded);
        } catch (const std::exception&) {
            showPlainMessage(kRecordingFailed);
        }
    }
    Memo1->setFocus();
}

void TMainForm1::N9Click()
{
    const QString path = environment_.desktop->chooseFileToOpen(this, QString(), QString());
    if (!path.isEmpty()) {
        // A file that cannot be read, or is too large, ends the command in the
        // default error box and leaves the editor's text as it was.
        const DecodedTranscript transcript = loadTranscript(path);
        // Refused before the editor sees it: laying out such a line would freeze the
        // window for every key press, and the text the user has typed stays.
        if (const qsizetype longest = longestLineLength(transcript.text); longest > kLongestEditorLine) {
            showPlainMessage(kLineTooLong.arg(longest).arg(kLongestEditorLine));
            return;
        }
        if (const qsizetype run = longestUnbrokenRun(transcript.text); run > kLongestUnbrokenRun) {
            showPlainMessage(kRunTooLong.arg(run).arg(kLongestUnbrokenRun));
            return;
        }
        Memo1->setPlainText(transcript.text);
        if (transcript.unreadableBytes > 0)
            showPlainMessage(kUnreadableBytes.arg(transcript.unreadableBytes));
    }
    Memo1->setFocus();
}

void TMainForm1::BitBtn10Click()
{
    const QString recording = WindowsMediaPlayer1->url();
    if (recording.isEmpty()) {
        showPlainMessage(kNothingToSaveBeside);
    } else {
        try {
            saveTranscript(recording, editorText(Memo1), environment_.transcriptWriteFaults);
            Label17->setText(kSaved);
            Label17->show();
        } catch (const std::exception&) {
            showPlainMessage(kSaveFailed);
        }
    }
    Memo1->setFocus();
}

} // namespace tavrin
