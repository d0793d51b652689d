#include "editor/key_dispatch.h"

#include <QtTest>

using tavrin::EditorCommand;
using tavrin::PlayKey;

class KeyDispatchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decidesEveryKey_data();
    void decidesEveryKey();
};

void KeyDispatchTest::decidesEveryKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<PlayKey>("playKey");
    QTest::addColumn<EditorCommand>("command");
    QTest::addColumn<bool>("swallow");
    QTest::addColumn<int>("slot");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    const auto row = [](const char* name, int key, Qt::KeyboardModifiers modifiers, PlayKey playKey,
                        EditorCommand command, bool swallow, int slot = 0) {
        QTest::newRow(name) << key << modifiers << playKey << command << swallow << slot;
    };

    row("F9", Qt::Key_F9, none, PlayKey::Space, EditorCommand::StepBack, false);
    row("Ctrl+F9", Qt::Key_F9, ctrl, PlayKey::Enter, EditorCommand::StepBack, false);
    row("F12", Qt::Key_F12, none, PlayKey::Space, EditorCommand::StepForward, false);
    row("Shift+F12", Qt::Key_F12, shift, PlayKey::Enter, EditorCommand::StepForward, false);
    row("F8", Qt::Key_F8, none, PlayKey::Space, EditorCommand::InsertTimeMark, false);
    row("Ctrl+F8", Qt::Key_F8, ctrl, PlayKey::Space, EditorCommand::InsertTimeMark, false);
    row("F7", Qt::Key_F7, none, PlayKey::Space, EditorCommand::Loop, false);
    row("Shift+F7", Qt::Key_F7, shift, PlayKey::Enter, EditorCommand::Loop, false);

    row("Space, Space mode", Qt::Key_Space, none, PlayKey::Space, EditorCommand::PlayPause, true);
    row("Shift+Space, Space mode", Qt::Key_Space, shift, PlayKey::Space, EditorCommand::PlayPause, true);
    row("Ctrl+Space, Space mode", Qt::Key_Space, ctrl, PlayKey::Space, EditorCommand::PlayPause, true);
    row("Space, Enter mode", Qt::Key_Space, none, PlayKey::Enter, EditorCommand::None, false);
    row("Return, Enter mode", Qt::Key_Return, none, PlayKey::Enter, EditorCommand::PlayPause, true);
    row("Shift+Return, Enter mode", Qt::Key_Return, shift, PlayKey::Enter, EditorCommand::PlayPause, true);
    row("Ctrl+Return, Enter mode", Qt::Key_Return, ctrl, PlayKey::Enter, EditorCommand::PlayPause, true);
    row("keypad Enter, Enter mode", Qt::Key_Enter, Qt::KeypadModifier, PlayKey::Enter, EditorCommand::PlayPause, true);
    row("Return, Space mode", Qt::Key_Return, none, PlayKey::Space, EditorCommand::None, false);
    row("keypad Enter, Space mode", Qt::Key_Enter, Qt::KeypadModifier, PlayKey::Space, EditorCommand::None, false);

    row("F10", Qt::Key_F10, none, PlayKey::Space, EditorCommand::HotKeyWarning, false);
    row("Shift+F10", Qt::Key_F10, shift, PlayKey::Enter, EditorCommand::HotKeyWarning, false);
    row("Alt", Qt::Key_Alt, alt, PlayKey::Space, EditorCommand::HotKeyWarning, false);

    row("Ctrl+S", Qt::Key_S, ctrl, PlayKey::Space, EditorCommand::Save, false);
    row("Ctrl+Meta+S", Qt::Key_S, ctrl | Qt::MetaModifier, PlayKey::Space, EditorCommand::Save, false);
    row("Ctrl+S while switching layout", Qt::Key_S, ctrl | Qt::GroupSwitchModifier, PlayKey::Space, EditorCommand::Save,
        false);
    row("Ctrl+Shift+S", Qt::Key_S, ctrl | shift, PlayKey::Space, EditorCommand::None, false);
    row("Ctrl+Alt+S", Qt::Key_S, ctrl | alt, PlayKey::Space, EditorCommand::None, false);
    row("S", Qt::Key_S, none, PlayKey::Space, EditorCommand::None, false);
    row("Meta+S", Qt::Key_S, Qt::MetaModifier, PlayKey::Space, EditorCommand::None, false);

    row("Ctrl+Up", Qt::Key_Up, ctrl, PlayKey::Space, EditorCommand::RateUp, true);
    row("Ctrl+Down", Qt::Key_Down, ctrl, PlayKey::Enter, EditorCommand::RateDown, true);
    row("Ctrl+keypad Up", Qt::Key_Up, ctrl | Qt::KeypadModifier, PlayKey::Space, EditorCommand::RateUp, true);
    row("Up", Qt::Key_Up, none, PlayKey::Space, EditorCommand::None, false);
    row("Ctrl+Shift+Down", Qt::Key_Down, ctrl | shift, PlayKey::Space, EditorCommand::None, false);
    row("Ctrl+Alt+Up", Qt::Key_Up, ctrl | alt, PlayKey::Space, EditorCommand::None, false);
    row("Meta+Up", Qt::Key_Up, Qt::MetaModifier, PlayKey::Space, EditorCommand::None, false);

    row("F1, Space mode", Qt::Key_F1, none, PlayKey::Space, EditorCommand::InsertSpace, false);
    row("F1, Enter mode", Qt::Key_F1, none, PlayKey::Enter, EditorCommand::InsertLineBreak, false);
    row("Shift+F1, Enter mode", Qt::Key_F1, shift, PlayKey::Enter, EditorCommand::InsertLineBreak, false);

    row("F2", Qt::Key_F2, none, PlayKey::Space, EditorCommand::PreviousPassage, true);
    row("F3", Qt::Key_F3, none, PlayKey::Enter, EditorCommand::NextPassage, true);
    row("F4", Qt::Key_F4, none, PlayKey::Space, EditorCommand::HearPassageAgain, true);
    row("F6", Qt::Key_F6, none, PlayKey::Space, EditorCommand::LoopPassage, true);
    row("F3 while switching layout", Qt::Key_F3, Qt::GroupSwitchModifier, PlayKey::Space, EditorCommand::NextPassage,
        true);
    row("Ctrl+F3: the second phrase", Qt::Key_F3, ctrl, PlayKey::Space, EditorCommand::Phrase, true, 1);
    row("Shift+F2: the sixth phrase", Qt::Key_F2, shift, PlayKey::Space, EditorCommand::Phrase, true, 5);
    row("Shift+F6: the last phrase", Qt::Key_F6, shift, PlayKey::Enter, EditorCommand::Phrase, true, 9);
    row("Ctrl+Shift+F2", Qt::Key_F2, ctrl | shift, PlayKey::Space, EditorCommand::None, false);
    row("Alt+F4", Qt::Key_F4, alt, PlayKey::Space, EditorCommand::None, false);
    row("Meta+F6", Qt::Key_F6, Qt::MetaModifier, PlayKey::Space, EditorCommand::None, false);
    row("F5: expand", Qt::Key_F5, none, PlayKey::Space, EditorCommand::ExpandAbbreviation, true, 0);
    row("F11: expand, if chosen", Qt::Key_F11, none, PlayKey::Space, EditorCommand::ExpandAbbreviation, true, 1);
    row("Ctrl+F11", Qt::Key_F11, ctrl, PlayKey::Space, EditorCommand::None, false);
    row("Ctrl+1: the first speaker", Qt::Key_1, ctrl, PlayKey::Space, EditorCommand::Speaker, true, 0);
    row("Ctrl+9: the ninth speaker", Qt::Key_9, ctrl | Qt::KeypadModifier, PlayKey::Enter, EditorCommand::Speaker, true,
        8);
    row("Ctrl+0", Qt::Key_0, ctrl, PlayKey::Space, EditorCommand::None, false);
    row("Ctrl+Shift+V: the video window", Qt::Key_V, ctrl | shift, PlayKey::Space, EditorCommand::ToggleVideo, true);
    row("Ctrl+V pastes", Qt::Key_V, ctrl, PlayKey::Space, EditorCommand::None, false);
    row("Ctrl+Shift+F4: the word at the caret", Qt::Key_F4, ctrl | shift, PlayKey::Enter, EditorCommand::HearWord,
        true);
    row("Ctrl+Shift+Alt+F4", Qt::Key_F4, ctrl | shift | alt, PlayKey::Space, EditorCommand::None, false);
    row("a digit alone types", Qt::Key_3, none, PlayKey::Space, EditorCommand::None, false);
    row("Ctrl+Alt+2", Qt::Key_2, ctrl | alt, PlayKey::Space, EditorCommand::None, false);
    row("letter", Qt::Key_A, none, PlayKey::Space, EditorCommand::None, false);
    row("Backspace", Qt::Key_Backspace, none, PlayKey::Space, EditorCommand::None, false);
    row("unknown key code", -1, none, PlayKey::Space, EditorCommand::None, false);
}

void KeyDispatchTest::decidesEveryKey()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(PlayKey, playKey);
    QFETCH(EditorCommand, command);
    QFETCH(bool, swallow);
    QFETCH(int, slot);
    const tavrin::KeyDecision decision = tavrin::decideEditorKey(key, modifiers, playKey);
    QCOMPARE(decision.command, command);
    QCOMPARE(decision.swallow, swallow);
    QCOMPARE(decision.slot, slot);
}

QTEST_GUILESS_MAIN(KeyDispatchTest)
#include "key_dispatch_test.moc"
