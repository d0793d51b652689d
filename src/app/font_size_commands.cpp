#include "app/main_window.h"

#include "editor/transcript_edit.h"

namespace tavrin {

namespace {

void setEditorPointSize(TranscriptEdit* editor, int points)
{
    QFont font = editor->font();
    font.setPointSize(points);
    editor->setFont(font);
}

} // namespace

void TMainForm1::N13Click()
{
    setEditorPointSize(Memo1, 40);
}

void TMainForm1::N15Click()
{
    setEditorPointSize(Memo1, 32);
}

void TMainForm1::N16Click()
{
    setEditorPointSize(Memo1, 24);
}

void TMainForm1::N10Click()
{
    setEditorPointSize(Memo1, 16);
}

} // namespace tavrin
