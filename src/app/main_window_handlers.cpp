// The handler table: what the window's controls, menu items and the editor's
// keys run, each handed to the one object of the workbench that owns it.
#include "app/main_window.h"

#include "dialogs/settings_dialog.h"
#include "workbench/draft_controller.h"
#include "workbench/editor_controller.h"
#include "workbench/export_controller.h"
#include "workbench/passage_navigator.h"
#include "workbench/pedal_binding.h"
#include "workbench/phrase_controller.h"
#include "workbench/speaker_controller.h"
#include "workbench/time_mark_controller.h"
#include "workbench/transcription_work.h"
#include "workbench/transport_controller.h"
#include "workbench/video_controller.h"
#include "workbench/workbench.h"

namespace tavrin {

void TMainForm1::openFiles(const QString& recording, const QString& transcript)
{
    workbench_->work().open(recording, transcript);
}

void TMainForm1::openDropped(const QList<QUrl>& urls)
{
    workbench_->work().openDropped(urls);
}

void TMainForm1::BitBtn4Click()
{
    workbench_->transport().playPause();
}

void TMainForm1::BitBtn7Click()
{
    workbench_->transport().stepBack();
}

void TMainForm1::BitBtn2Click()
{
    workbench_->transport().stepForward();
}

void TMainForm1::RzSpinEdit1Change()
{
    workbench_->transport().applyRateFromBox();
}

void TMainForm1::stepRate(int tenths)
{
    workbench_->transport().stepRate(tenths);
}

void TMainForm1::Timer1Timer()
{
    workbench_->transport().refreshDisplay();
}

void TMainForm1::BitBtn1Click()
{
    workbench_->timeMarks().insertMark();
}

void TMainForm1::Label9Click()
{
    workbench_->timeMarks().goToTypedTime();
}

void TMainForm1::Memo1DblClick()
{
    workbench_->timeMarks().goToSelectedTime();
}

void TMainForm1::Memo1ControlClick(int position)
{
    workbench_->passages().hearClickedWord(position);
}

void TMainForm1::N8Click()
{
    workbench_->work().chooseRecording();
}

void TMainForm1::N9Click()
{
    workbench_->work().chooseTranscript();
}

void TMainForm1::BitBtn10Click()
{
    workbench_->work().save();
}

void TMainForm1::N7Click()
{
    ui_.Form3->exec();
}

void TMainForm1::showPlaybackOptions()
{
    workbench_->showPlaybackOptions();
}

void TMainForm1::showSpeakers()
{
    workbench_->speakers().showDialog();
}

void TMainForm1::showPhrases()
{
    workbench_->phrases().showDialog();
}

void TMainForm1::toggleVideoWindow()
{
    workbench_->video().toggle();
}

void TMainForm1::keepVideoOnTop()
{
    workbench_->video().setStaysOnTop(ui_.videoOnTopAction->isChecked());
}

void TMainForm1::exportTranscript()
{
    workbench_->exporter().exportTranscript();
}

void TMainForm1::startDraft()
{
    workbench_->draft().startDraft();
}

void TMainForm1::showDraftOptions()
{
    workbench_->draft().showOptions();
}

void TMainForm1::showPedalOptions()
{
    workbench_->pedals().showOptions();
}

bool TMainForm1::Memo1KeyDown(QKeyEvent* event)
{
    return workbench_->editor().handleKey(event);
}

void TMainForm1::Label2Click()
{
    workbench_->editor().findFirst();
}

void TMainForm1::Label4Click()
{
    workbench_->editor().findNext();
}

void TMainForm1::N17Click()
{
    workbench_->editor().showCount();
}

void TMainForm1::N18Click()
{
    workbench_->editor().copyAll();
}

// The text's size: 大, 中, 小 and 极小 in the menu.
void TMainForm1::N13Click()
{
    workbench_->editor().setTextSize(TextSize::Large);
}

void TMainForm1::N15Click()
{
    workbench_->editor().setTextSize(TextSize::Medium);
}

void TMainForm1::N16Click()
{
    workbench_->editor().setTextSize(TextSize::Small);
}

void TMainForm1::N10Click()
{
    workbench_->editor().setTextSize(TextSize::Smallest);
}

void TMainForm1::Memo1ContextPopup()
{
    // The request is handled by doing nothing: no menu opens over the editor.
}

} // namespace tavrin
