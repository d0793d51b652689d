#pragma once

#include "desktop/plain_message.h"
#include "settings/damage_reports.h"

#include <QString>

class QWidget;

namespace tavrin {

class Desktop;
class TimeMarkController;
class TranscriptEdit;
struct PhraseOptions;

// Phrases on keys (Ctrl+F2 to Ctrl+F6, Shift+F2 to Shift+F6) and abbreviations
// that expand on F5 or F11, as set in 短语和缩写设置: text typed for the user,
// over the selection, as one undoable edit.
class PhraseController {
public:
    struct Widgets {
        QWidget* owner = nullptr; // of the dialog and messages
        TranscriptEdit* editor = nullptr;
    };

    PhraseController(const Widgets& widgets, TimeMarkController& marks, Desktop& desktop, QString settingsFolder,
                     ShowPlainMessage showMessage);

    // Phrase `phrase` (0 to 9), with the current time mark where it says {时间}.
    void insertPhrase(int phrase);
    // `key` is 0 for F5, 1 for F11: the abbreviation before the caret is
    // replaced by its text when `key` is the one chosen; otherwise nothing.
    void expandAbbreviation(int key);
    void showDialog();

private:
    PhraseOptions read();

    Widgets widgets_;
    TimeMarkController& marks_;
    Desktop& desktop_;
    QString settingsFolder_;
    ShowPlainMessage showMessage_;
    DamageReports damage_;
};

} // namespace tavrin
