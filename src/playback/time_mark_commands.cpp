#include "app/main_window.h"

#include "desktop/desktop.h"
#include "editor/transcript_edit.h"
#include "playback/time_box.h"
#include "playback/time_text.h"

#include <QLabel>

#include <stdexcept>

namespace tavrin {

namespace {

const QString kBadTime =
    QStringLiteral("请查验时间是否输入正确。只能输入形如 01:23:54 小时分钟秒数这种格式的时间。");
const QString kBadSelection = QStringLiteral("时间格式有误，请查正！");

} // namespace

void TMainForm1::BitBtn1Click()
{
    // An ordinary edit: it replaces the selection, leaves the caret after the
    // mark, and can be undone like typing.
    QTextCursor caret = Memo1->textCursor();
    caret.insertText(u'-' + Label1->text() + u'-');
    Memo1->setTextCursor(caret);
    Memo1->ensureCursorVisible();
}

void TMainForm1::Label9Click()
{
    const QString typed = Edit3->text();
    Label1->setText(typed); // shown at once; the next refresh of the display replaces it
    try {
        const std::optional<qint32> seconds = parseTimeText(typed);
        if (!seconds)
            throw std::invalid_argument("not a time");
        WindowsMediaPlayer1->setCurrentPosition(*seconds);
        WindowsMediaPlayer1->play();
    } catch (...) {
        showPlainMessage(kBadTime);
    }
}

void TMainForm1::Memo1DblClick()
{
    QString selected = Memo1->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, u'\n');
    // The clipboard is the channel: whatever it holds after the copy is used,
    // and the selection stays on it afterwards.
    if (!environment_.desktop->setClipboardText(selected)) {
        showPlainMessage(kBadSelection);
        return;
    }
    Edit3->setText(environment_.desktop->clipboardText());
    Label9Click();
}

} // namespace tavrin
