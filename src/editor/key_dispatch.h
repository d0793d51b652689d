#pragma once

#include <Qt>

namespace tavrin {

// Which key toggles play and pause while typing; the other one types as usual.
enum class PlayKey {
    Space,
    Enter
};

enum class EditorCommand {
    None,
    StepBack,
    StepForward,
    InsertTimeMark,
    Loop,
    PlayPause,
    HotKeyWarning,
    Save,
    RateUp,
    RateDown,
    InsertSpace,
    InsertLineBreak,
    PreviousPassage,
    NextPassage,
    HearPassageAgain,
    LoopPassage,
    Speaker,            // slot: which of the nine speakers
    Phrase,             // slot: which of the ten phrases
    ExpandAbbreviation, // slot: 0 for F5, 1 for F11, the two keys the expanding key may be
    ToggleVideo,
    HearWord, // the drafted word at the caret, from its time
};

struct KeyDecision {
    EditorCommand command = EditorCommand::None;
    bool swallow = false; // true: the editor must not act on the key, nor type its character
    int slot = 0;
};

// What a key press in the editor means: the command to run, and whether the editor
// still gets the key. Ctrl+S and Ctrl+Up/Down need Ctrl without Shift and Alt; the
// passage keys (F2, F3, F4, F6) work alone, so that their combinations stay free; all
// other keys of the table work with any modifiers. The play key, Ctrl+Up/Down and
// the passage keys are swallowed. Ctrl+1 to Ctrl+9 are the speakers, Ctrl+F2 to
// Ctrl+F6 and Shift+F2 to Shift+F6 the phrases, F5 and F11 alone the key that
// expands an abbreviation, Ctrl+Shift+V the video window, Ctrl+Shift+F4 the word at
// the caret heard from its time; all of these are swallowed.
KeyDecision decideEditorKey(int qtKey, Qt::KeyboardModifiers modifiers, PlayKey playKey);

} // namespace tavrin
