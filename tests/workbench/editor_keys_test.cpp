#include "app/app_style.h"
#include "controls/rate_spin_box.h"
#include "editor/transcript_edit.h"
#include "support/window_under_test.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kWaitMs = 15000;
const QString kWarning = QStringLiteral("警告！系统热键冲突，请勿乱按系统功能键！\r\n"
                                        "为了更加方便准确的按下前进、后退快捷键，你可以在按键上贴一个单面胶！");

// What a key did, as far as the user can see it.
enum class Effect {
    Typed,
    PlayPause,
    StepBack,
    StepForward,
    Mark,
    Warning,
    Save,
    RateUp,
    RateDown
};

struct ReadyWindow : WindowUnderTest {
    QString recording;

    ReadyWindow()
    {
        show();
        recording = loadRecording(60.0);
        MediaPlayer* player = ui->WindowsMediaPlayer1;
        QSignalSpy restarted(player, &MediaPlayer::playbackRestarted);
        player->setCurrentPosition(10.0);
        restarted.wait(kWaitMs);
        ui->Memo1->setPlainText(QStringLiteral("abcdef"));
        ui->Memo1->setFocus();
    }

    void select(int start, int end)
    {
        QTextCursor selection = ui->Memo1->textCursor();
        selection.setPosition(start);
        selection.setPosition(end, QTextCursor::KeepAnchor);
        ui->Memo1->setTextCursor(selection);
    }
};

} // namespace

Q_DECLARE_METATYPE(Effect)

class EditorKeysTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installAppStyle(*qApp); }
    void dispatch_data();
    void dispatch();
    void playKeyToggles();
    void keysElsewhereRunNothing_data();
    void keysElsewhereRunNothing();
    void rateFromTheKeyboard();
    void hotKeyWarningEmptiesTheClipboardOnce();
};

void EditorKeysTest::dispatch_data()
{
    QTest::addColumn<bool>("enterMode");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<Effect>("effect");
    QTest::addColumn<QString>("text"); // the editor's text afterwards; "bc" was selected in "abcdef"
    const Qt::KeyboardModifiers none;
    const QString untouched = QStringLiteral("abcdef");
    auto row = [](const char* name, bool enterMode, int key, Qt::KeyboardModifiers modifiers, Effect effect,
                  const QString& text) { QTest::newRow(name) << enterMode << key << modifiers << effect << text; };
    row("Space mode: Space plays, the selection stays", false, Qt::Key_Space, none, Effect::PlayPause, untouched);
    row("Space mode: Shift+Space plays", false, Qt::Key_Space, Qt::ShiftModifier, Effect::PlayPause, untouched);
    row("Space mode: Ctrl+Space plays", false, Qt::Key_Space, Qt::ControlModifier, Effect::PlayPause, untouched);
    row("Space mode: Enter types a line break", false, Qt::Key_Return, none, Effect::Typed, QStringLiteral("a\ndef"));
    row("Space mode: F1 types a space", false, Qt::Key_F1, none, Effect::Typed, QStringLiteral("a def"));
    row("Enter mode: Enter plays", true, Qt::Key_Return, none, Effect::PlayPause, untouched);
    row("Enter mode: Shift+Enter plays", true, Qt::Key_Return, Qt::ShiftModifier, Effect::PlayPause, untouched);
    row("Enter mode: Ctrl+Enter plays", true, Qt::Key_Return, Qt::ControlModifier, Effect::PlayPause, untouched);
    row("Enter mode: keypad Enter plays", true, Qt::Key_Enter, Qt::KeypadModifier, Effect::PlayPause, untouched);
    row("Enter mode: Space types a space", true, Qt::Key_Space, none, Effect::Typed, QStringLiteral("a def"));
    row("Enter mode: F1 types a line break", true, Qt::Key_F1, none, Effect::Typed, QStringLiteral("a\ndef"));
    row("F9", false, Qt::Key_F9, none, Effect::StepBack, untouched);
    row("Ctrl+F9", false, Qt::Key_F9, Qt::ControlModifier, Effect::StepBack, untouched);
    row("F12", false, Qt::Key_F12, none, Effect::StepForward, untouched);
    row("Shift+F12", true, Qt::Key_F12, Qt::ShiftModifier, Effect::StepForward, untouched);
    row("F8", false, Qt::Key_F8, none, Effect::Mark, QStringLiteral("a-00:00:00-def"));
    row("Ctrl+F8", false, Qt::Key_F8, Qt::ControlModifier, Effect::Mark, QStringLiteral("a-00:00:00-def"));
    row("F10", false, Qt::Key_F10, none, Effect::Warning, untouched);
    row("Shift+F10", false, Qt::Key_F10, Qt::ShiftModifier, Effect::Warning, untouched);
    row("Alt", false, Qt::Key_Alt, none, Effect::Warning, untouched);
    row("Ctrl+S", false, Qt::Key_S, Qt::ControlModifier, Effect::Save, untouched);
    row("Ctrl+Shift+S does nothing", false, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, Effect::Typed,
        untouched);
    row("Ctrl+Up", false, Qt::Key_Up, Qt::ControlModifier, Effect::RateUp, untouched);
    row("Ctrl+Down", false, Qt::Key_Down, Qt::ControlModifier, Effect::RateDown, untouched);
    row("Ctrl+Shift+Down does nothing", false, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier, Effect::Typed,
        untouched);
    row("F11 does nothing", false, Qt::Key_F11, none, Effect::Typed, untouched);
    row("a letter types", false, Qt::Key_X, none, Effect::Typed, QStringLiteral("axdef"));
}

void EditorKeysTest::dispatch()
{
    QFETCH(bool, enterMode);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(Effect, effect);
    QFETCH(QString, text);
    ReadyWindow window;
    (enterMode ? window.ui->RadioButton2 : window.ui->RadioButton1)->setChecked(true);
    window.select(1, 3);
    window.desktop.clipboard = QStringLiteral("held before");
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;

    QTest::keyClick(window.ui->Memo1, Qt::Key(key), modifiers);

    QCOMPARE(window.ui->Memo1->toPlainText(), text);
    QCOMPARE(player->playState(),
             effect == Effect::PlayPause || effect == Effect::StepBack || effect == Effect::StepForward
                 ? int(PlayStatePlaying)
                 : int(PlayStateStopped));
    const double positions[] = {10.0, 7.0, 15.0};
    const double expected = positions[effect == Effect::StepBack ? 1 : effect == Effect::StepForward ? 2 : 0];
    if (effect == Effect::PlayPause) // playing on from 10 s since the key
        QVERIFY2(player->currentPosition() >= expected && player->currentPosition() < expected + 1.0,
                 qPrintable(QString::number(player->currentPosition())));
    else
        QCOMPARE(player->currentPosition(), expected);
    QCOMPARE(window.desktop.texts(), effect == Effect::Warning ? QStringList{kWarning} : QStringList());
    QCOMPARE(window.desktop.clipboard, effect == Effect::Warning ? QString() : QStringLiteral("held before"));
    QCOMPARE(QFile::exists(window.recording + QStringLiteral(".txt")), effect == Effect::Save);
    const double rate = effect == Effect::RateUp ? 1.1 : effect == Effect::RateDown ? 0.9 : 1.0;
    QCOMPARE(window.ui->RzSpinEdit1->value(), rate);
    QCOMPARE(player->rate(), rate);
    if (effect == Effect::PlayPause || effect == Effect::RateUp || effect == Effect::RateDown) {
        // Swallowed: the caret and the selection stay where they were.
        QCOMPARE(window.ui->Memo1->textCursor().selectionStart(), 1);
        QCOMPARE(window.ui->Memo1->textCursor().selectionEnd(), 3);
    }
}

void EditorKeysTest::playKeyToggles()
{
    ReadyWindow window;
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QTest::keyClick(window.ui->Memo1, Qt::Key_Space);
    QCOMPARE(player->playState(), int(PlayStatePlaying));
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("暂停"));
    QTest::keyClick(window.ui->Memo1, Qt::Key_Space);
    QCOMPARE(player->playState(), int(PlayStatePaused));
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("继续"));
    // Held down, every repeated key-down toggles again.
    QTest::keyPress(window.ui->Memo1, Qt::Key_Space);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(window.ui->Memo1, &repeat);
    QTest::keyRelease(window.ui->Memo1, Qt::Key_Space);
    QCOMPARE(player->playState(), int(PlayStatePaused));
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("abcdef"));
    // With no recording, the key only tells so.
    WindowUnderTest empty;
    QVERIFY(empty.show());
    empty.ui->Memo1->setFocus();
    QTest::keyClick(empty.ui->Memo1, Qt::Key_Space);
    QCOMPARE(empty.desktop.texts(), QStringList{QStringLiteral("没有加载音视频文件或格式不正确！")});
    QCOMPARE(empty.ui->Memo1->toPlainText(), QString());
}

void EditorKeysTest::keysElsewhereRunNothing_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("search box") << "Edit4";
    QTest::newRow("time box") << "Edit3";
    QTest::newRow("step button") << "BitBtn7";
}

void EditorKeysTest::keysElsewhereRunNothing()
{
    QFETCH(QString, control);
    ReadyWindow window;
    auto* target = window->findChild<QWidget*>(control);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);
    for (int key : {Qt::Key_F9, Qt::Key_F12, Qt::Key_F8, Qt::Key_F10, Qt::Key_F1})
        QTest::keyClick(target, Qt::Key(key));
    QTest::keyClick(target, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(window.ui->WindowsMediaPlayer1->currentPosition(), 10.0);
    QCOMPARE(window.ui->WindowsMediaPlayer1->playState(), int(PlayStateStopped));
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("abcdef"));
    QVERIFY(window.desktop.boxes.isEmpty());
    QVERIFY(!QFile::exists(window.recording + QStringLiteral(".txt")));
    QCOMPARE(window.ui->RzSpinEdit1->value(), 1.0);
}

void EditorKeysTest::rateFromTheKeyboard()
{
    ReadyWindow window;
    for (int press = 0; press < 5; ++press)
        QTest::keyClick(window.ui->Memo1, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(window.ui->RzSpinEdit1->text(), QStringLiteral("1.5"));
    QCOMPARE(window.ui->WindowsMediaPlayer1->rate(), 1.5);
    for (int press = 0; press < 10; ++press)
        QTest::keyClick(window.ui->Memo1, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(window.ui->RzSpinEdit1->text(), QStringLiteral("2.0"));
    for (int press = 0; press < 25; ++press)
        QTest::keyClick(window.ui->Memo1, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(window.ui->RzSpinEdit1->text(), QStringLiteral("0.1"));
    QCOMPARE(window.ui->WindowsMediaPlayer1->rate(), 0.1);
    QVERIFY(window.desktop.boxes.isEmpty());
}

void EditorKeysTest::hotKeyWarningEmptiesTheClipboardOnce()
{
    ReadyWindow window;
    int shown = 0;
    window.desktop.onBox = [&](const test::ScriptedDesktop::Box&) { ++shown; };
    window.desktop.clipboard = QStringLiteral("something");
    QTest::keyClick(window.ui->Memo1, Qt::Key_Alt);
    QCOMPARE(shown, 1);
    QCOMPARE(window.desktop.boxes.first().caption, QStringLiteral("Tavrin录音整理"));
    QCOMPARE(window.desktop.clipboard, QString());
    QCOMPARE(window->style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation), 0);
}

QTEST_MAIN(EditorKeysTest)
#include "editor_keys_test.moc"
