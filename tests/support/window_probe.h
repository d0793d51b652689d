#pragma once

#include "app/main_window.h"
#include "workbench/pedal_binding.h"
#include "workbench/player_strip.h"
#include "workbench/transcription_work.h"
#include "workbench/workbench.h"

namespace tavrin::test {

// The one way into the window for tests and benchmarks: its controls, as the
// layout names them, and the objects of its workbench.
class WindowProbe {
public:
    static const MainWindowControls& controls(const TMainForm1& window) { return window.ui_; }
    static Workbench& workbench(const TMainForm1& window) { return *window.workbench_; }
    static TranscriptController& transcript(const TMainForm1& window) { return workbench(window).work().transcript(); }
    static PedalSource& pedalSource(const TMainForm1& window) { return workbench(window).pedals().source(); }
    static PedalOptionsDialog& pedalOptionsDialog(const TMainForm1& window)
    {
        return workbench(window).pedals().optionsDialog();
    }
    static PlaybackOptionsDialog& playbackOptionsDialog(const TMainForm1& window)
    {
        return workbench(window).playbackOptionsDialog();
    }
    static WaveformBuilder& waveforms(const TMainForm1& window) { return workbench(window).playerStrip().waveforms(); }
};

} // namespace tavrin::test
