#include "editor/key_dispatch.h"

namespace tavrin {

namespace {

// Keypad, Meta and group-switch flags ride along with ordinary presses (the keypad's
// arrows, a layout switch) and must neither make nor spoil a Ctrl shortcut.
bool onlyCtrlHeld(Qt::KeyboardModifiers modifiers)
{
    return modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::ShiftModifier)
        && !modifiers.testFlag(Qt::AltModifier);
}

bool noneHeld(Qt::KeyboardModifiers modifiers)
{
    return !(modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier));
}

// Between the passages the time marks make: keys the editor itself leaves unused.
KeyDecision decidePassageKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_F2:
        return {EditorCommand::PreviousPassage, true};
    case Qt::Key_F3:
        return {EditorCommand::NextPassage, true};
    case Qt::Key_F4:
        return {EditorCommand::HearPassageAgain, true};
    case Qt::Key_F6:
        return {EditorCommand::LoopPassage, true};
    default:
        return {};
    }
}

bool onlyShiftHeld(Qt::KeyboardModifiers modifiers)
{
    return modifiers.testFlag(Qt::ShiftModifier) && !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
}

// Speakers, phrases and abbreviations: the combinations the keys above leave free.
KeyDecision decideInsertionKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9 && onlyCtrlHeld(modifiers))
        return {EditorCommand::Speaker, true, qtKey - Qt::Key_1};
    if (qtKey >= Qt::Key_F2 && qtKey <= Qt::Key_F6) {
        constexpr int kPerModifier = Qt::Key_F6 - Qt::Key_F2 + 1;
        if (onlyCtrlHeld(modifiers))
            return {EditorCommand::Phrase, true, qtKey - Qt::Key_F2};
        if (onlyShiftHeld(modifiers))
            return {EditorCommand::Phrase, true, kPerModifier + qtKey - Qt::Key_F2};
    }
    if (qtKey == Qt::Key_V && modifiers.testFlag(Qt::ControlModifier) && modifiers.testFlag(Qt::ShiftModifier)
        && !modifiers.testFlag(Qt::AltModifier))
        return {EditorCommand::ToggleVideo, true};
    if (qtKey == Qt::Key_F4 && modifiers.testFlag(Qt::ControlModifier) && modifiers.testFlag(Qt::ShiftModifier)
        && !modifiers.testFlag(Qt::AltModifier))
        return {EditorCommand::HearWord, true};
    if ((qtKey == Qt::Key_F5 || qtKey == Qt::Key_F11) && noneHeld(modifiers))
        return {EditorCommand::ExpandAbbreviation, true, qtKey == Qt::Key_F5 ? 0 : 1};
    return {};
}

bool isPlayKey(int qtKey, PlayKey playKey)
{
    if (playKey == PlayKey::Space)
        return qtKey == Qt::Key_Space;
    return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter;
}

} // namespace

KeyDecision decideEditorKey(int qtKey, Qt::KeyboardModifiers modifiers, PlayKey playKey)
{
    // The play key is swallowed rather than typed and taken back, so it never
    // replaces a selection.
    if (isPlayKey(qtKey, playKey))
        return {EditorCommand::PlayPause, true};

    if (noneHeld(modifiers)) {
        if (const KeyDecision passage = decidePassageKey(qtKey); passage.command != EditorCommand::None)
            return passage;
    }
    if (const KeyDecision insertion = decideInsertionKey(qtKey, modifiers); insertion.command != EditorCommand::None)
        return insertion;
    switch (qtKey) {
    case Qt::Key_F9:
        return {EditorCommand::StepBack, false};
    case Qt::Key_F12:
        return {EditorCommand::StepForward, false};
    case Qt::Key_F8:
        return {EditorCommand::InsertTimeMark, false};
    case Qt::Key_F7:
        return {EditorCommand::Loop, false};
    case Qt::Key_F10:
    case Qt::Key_Alt:
        return {EditorCommand::HotKeyWarning, false};
    case Qt::Key_F1:
        return {playKey == PlayKey::Space ? EditorCommand::InsertSpace : EditorCommand::InsertLineBreak, false};
    case Qt::Key_S:
        if (onlyCtrlHeld(modifiers))
            return {EditorCommand::Save, false};
        break;
    case Qt::Key_Up:
        if (onlyCtrlHeld(modifiers))
            return {EditorCommand::RateUp, true};
        break;
    case Qt::Key_Down:
        if (onlyCtrlHeld(modifiers))
            return {EditorCommand::RateDown, true};
        break;
    default:
        break;
    }
    return {};
}

} // namespace tavrin
