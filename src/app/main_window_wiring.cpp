// The window's controls wired to their handlers, and to the workbench that
// gives them their work.
#include "app/main_window.h"

#include "app/link_label.h"
#include "controls/rate_spin_box.h"
#include "editor/transcript_edit.h"
#include "workbench/workbench.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>

namespace tavrin {

void TMainForm1::createWorkbench()
{
    const WorkbenchWidgets widgets{.window = this,
                                   .editor = ui_.Memo1,
                                   .playButton = ui_.BitBtn4,
                                   .rateBox = ui_.RzSpinEdit1,
                                   .position = ui_.Label1,
                                   .duration = ui_.Label6,
                                   .savedNotice = ui_.Label17,
                                   .displayRefresh = ui_.Timer1,
                                   .timeBox = ui_.Edit3,
                                   .spacePlays = ui_.RadioButton1,
                                   .searchBox = ui_.Edit4,
                                   .playerControls = ui_.PlayerControls1};
    const WorkbenchPlaces places{.settingsFolder = environment_.settingsFolder,
                                 .stateFolder = environment_.stateFolder,
                                 .waveformCacheFolder = environment_.waveformCacheFolder,
                                 .findPedals = environment_.findPedals,
                                 .draft = environment_.draft};
    workbench_ = std::make_unique<Workbench>(widgets, *ui_.WindowsMediaPlayer1, *environment_.desktop, places);
}

namespace {

// Each handler runs as a command: an error it does not catch is shown, and the program goes on.
template <typename Sender, typename Signal>
void runOn(TMainForm1* window, Sender* sender, Signal signal, void (TMainForm1::*handler)())
{
    QObject::connect(sender, signal, window,
                     [window, handler] { window->runCommand([window, handler] { (window->*handler)(); }); });
}

} // namespace

void TMainForm1::connectHandlers()
{
    runOn(this, ui_.BitBtn1, &QPushButton::clicked, &TMainForm1::BitBtn1Click);
    runOn(this, ui_.BitBtn4, &QPushButton::clicked, &TMainForm1::BitBtn4Click);
    runOn(this, ui_.BitBtn7, &QPushButton::clicked, &TMainForm1::BitBtn7Click);
    runOn(this, ui_.BitBtn2, &QPushButton::clicked, &TMainForm1::BitBtn2Click);
    runOn(this, ui_.BitBtn10, &QPushButton::clicked, &TMainForm1::BitBtn10Click);
    runOn(this, ui_.RzSpinEdit1, &RateSpinBox::valueChanged, &TMainForm1::RzSpinEdit1Change);
    runOn(this, ui_.Label9, &LinkLabel::clicked, &TMainForm1::Label9Click);
    runOn(this, ui_.Label2, &LinkLabel::clicked, &TMainForm1::Label2Click);
    runOn(this, ui_.Label4, &LinkLabel::clicked, &TMainForm1::Label4Click);
    runOn(this, ui_.Memo1, &TranscriptEdit::doubleClicked, &TMainForm1::Memo1DblClick);
    runOn(this, ui_.Memo1, &TranscriptEdit::contextMenuRequested, &TMainForm1::Memo1ContextPopup);
    runOn(this, ui_.Timer1, &QTimer::timeout, &TMainForm1::Timer1Timer);
    runOn(this, ui_.Timer2, &QTimer::timeout, &TMainForm1::Timer2Timer);
    ui_.Memo1->setKeyDownHandler([this](QKeyEvent* event) {
        bool swallow = false;
        runCommand([&] { swallow = Memo1KeyDown(event); });
        return swallow;
    });
    connect(ui_.Memo1, &TranscriptEdit::filesDropped, this, &TMainForm1::openDropped);
    connect(ui_.Memo1, &TranscriptEdit::controlClicked, this,
            [this](int position) { runCommand([this, position] { Memo1ControlClick(position); }); });
}

void TMainForm1::connectMenu()
{
    runOn(this, ui_.N8, &QAction::triggered, &TMainForm1::N8Click);
    runOn(this, ui_.N9, &QAction::triggered, &TMainForm1::N9Click);
    runOn(this, ui_.N17, &QAction::triggered, &TMainForm1::N17Click);
    runOn(this, ui_.N18, &QAction::triggered, &TMainForm1::N18Click);
    runOn(this, ui_.N7, &QAction::triggered, &TMainForm1::N7Click);
    runOn(this, ui_.playbackOptionsAction, &QAction::triggered, &TMainForm1::showPlaybackOptions);
    runOn(this, ui_.pedalOptionsAction, &QAction::triggered, &TMainForm1::showPedalOptions);
    runOn(this, ui_.draftAction, &QAction::triggered, &TMainForm1::startDraft);
    runOn(this, ui_.exportAction, &QAction::triggered, &TMainForm1::exportTranscript);
    runOn(this, ui_.videoWindowAction, &QAction::triggered, &TMainForm1::toggleVideoWindow);
    runOn(this, ui_.videoOnTopAction, &QAction::toggled, &TMainForm1::keepVideoOnTop);
    runOn(this, ui_.draftOptionsAction, &QAction::triggered, &TMainForm1::showDraftOptions);
    runOn(this, ui_.speakersAction, &QAction::triggered, &TMainForm1::showSpeakers);
    runOn(this, ui_.phrasesAction, &QAction::triggered, &TMainForm1::showPhrases);
    runOn(this, ui_.N13, &QAction::triggered, &TMainForm1::N13Click);
    runOn(this, ui_.N15, &QAction::triggered, &TMainForm1::N15Click);
    runOn(this, ui_.N16, &QAction::triggered, &TMainForm1::N16Click);
    runOn(this, ui_.N10, &QAction::triggered, &TMainForm1::N10Click);
    runOn(this, ui_.N20, &QAction::triggered, &TMainForm1::N20Click);
}

} // namespace tavrin
