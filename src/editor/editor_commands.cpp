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

bool TMainForm1::Memo1KeyDown(QKeyEvent*)
{
    return false;
}

void TMainForm1::Label2Click()
{
}

void TMainForm1::Label4Click()
{
}

void TMainForm1::N17Click()
{
}

void TMainForm1::N18Click()
{
}

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

void TMainForm1::Memo1ContextPopup()
{
    // The request is handled by doing nothing: no menu opens over the editor.
}

} // namespace tavrin
