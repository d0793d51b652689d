#pragma once

#include "desktop/plain_message.h"
#include "editor/key_dispatch.h"
#include "editor/text_size.h"

#include <QtGlobal>

#include <functional>

class QKeyEvent;
class QLineEdit;
class QRadioButton;

namespace tavrin {

class Desktop;
class PassageLoop;
class PassageNavigator;
class PhraseController;
class SpeakerController;
class TimeMarkController;
class TranscriptEdit;
class TransportController;

// The controls the editor's tools read and write; they belong to the window.
struct EditorWidgets {
    TranscriptEdit* editor = nullptr;
    QRadioButton* spacePlays = nullptr; // checked: Space is the play key, else Enter is
    QLineEdit* searchBox = nullptr;
};

// What the editor's keys run besides typing: the transport, the loop, time marks and
// passages, and saving, which belongs to the transcript.
struct EditorKeyTargets {
    TransportController& transport;
    TimeMarkController& timeMarks;
    PassageLoop& loop;
    PassageNavigator& passages;
    SpeakerController& speakers;
    PhraseController& phrases;
    std::function<void()> save;
    // A key goes on to the text: typed, or moving the caret.
    std::function<void()> typing;
    std::function<void()> toggleVideo;
};

// The transcript editor's own commands: what its keys do while typing, search,
// the character count, copying the whole text and the text's size.
class EditorController {
public:
    EditorController(const EditorWidgets& widgets, EditorKeyTargets keyTargets, Desktop& desktop,
                     ShowPlainMessage showMessage);

    // Carries out what a key pressed in the editor means; true when the editor
    // must not act on the key itself.
    bool handleKey(QKeyEvent* event);
    // Selects the first match of the keyword as typed, or tells the user there is none.
    void findFirst();
    // Selects the next match of the trimmed keyword after the selection; silent when none.
    void findNext();
    void showCount();
    void copyAll();
    void setTextSize(TextSize size);

private:
    void run(const KeyDecision& decision);
    void runAddedCommand(const KeyDecision& decision);
    void selectFound(qsizetype start, qsizetype length);

    EditorWidgets widgets_;
    EditorKeyTargets keyTargets_;
    Desktop& desktop_;
    ShowPlainMessage showMessage_;
};

} // namespace tavrin
