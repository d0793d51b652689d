#include "dialogs/phrases_dialog.h"
#include "dialogs/speakers_dialog.h"
#include "editor/transcript_edit.h"
#include "files/transcript_codec.h"
#include "settings/phrase_options.h"
#include "support/window_under_test.h"
#include "workbench/speaker_controller.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;
using tavrin::test::WindowProbe;
using tavrin::test::WindowUnderTest;

namespace {

struct TypingWindow : WindowUnderTest {
    TranscriptEdit* editor = nullptr;

    explicit TypingWindow(const QString& stateFolder = QString())
        : WindowUnderTest(true, u"Time.ini"_qs, QString(), stateFolder)
    {
        show();
        editor = ui->Memo1;
        ui->Label1->setText(u"00:12:34"_qs); // what the position display shows
        editor->setFocus();
    }

    SpeakerController& speakers() const { return WindowProbe::workbench(*window).speakers(); }

    void typeAtTheEnd(const QString& text)
    {
        editor->setPlainText(text);
        editor->moveCursor(QTextCursor::End);
    }
};

} // namespace

class InsertionCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void speakerKeys_data();
    void speakerKeys();
    void renamingIsOneUndoStep();
    void aNameOutsideGbkIsTypedAsTypingIt();
    void eachRecordingKeepsItsSpeakers();
    void phrasesAndAbbreviations();
    void dialogsSaveWhatTheyShow();
};

void InsertionCommandsTest::speakerKeys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret"); // -1: at the end
    QTest::addColumn<QString>("after");
    QTest::newRow("a new paragraph after the text") << u"你好"_qs << -1 << u"你好\n-00:12:34- 李四："_qs;
    QTest::newRow("an empty paragraph filled") << u"你好\n"_qs << -1 << u"你好\n-00:12:34- 李四："_qs;
    QTest::newRow("an empty text") << QString() << -1 << u"-00:12:34- 李四："_qs;
    QTest::newRow("in mid-paragraph: the rest is the speaker's") << u"甲乙"_qs << 1 << u"甲\n-00:12:34- 李四：乙"_qs;
}

void InsertionCommandsTest::speakerKeys()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, after);
    TypingWindow window;
    window.speakers().setNames({u"张三"_qs, u"李四"_qs});
    window.typeAtTheEnd(text);
    if (caret >= 0) {
        QTextCursor at = window.editor->textCursor();
        at.setPosition(caret);
        window.editor->setTextCursor(at);
    }
    QTest::keyClick(window.editor, Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(window.editor->toPlainText(), after);
    QCOMPARE(window.editor->textCursor().position(), int(after.indexOf(u'：')) + 1);
    window.editor->undo(); // one step
    QCOMPARE(window.editor->toPlainText(), text);

    QTest::keyClick(window.editor, Qt::Key_3, Qt::ControlModifier); // no third speaker
    QCOMPARE(window.editor->toPlainText(), text);
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY(window.desktop.boxes.first().text.contains(u"Ctrl+3"_qs));
}

void InsertionCommandsTest::renamingIsOneUndoStep()
{
    TypingWindow window;
    window.speakers().setNames({u"张三"_qs, u"李四"_qs});
    const QString text = u"-00:00:01- 张三：我是张三。\n-00:00:02- 李四：好。\n-00:00:03- 张三：再见"_qs;
    window.editor->setPlainText(text);
    window.speakers().setNames({u"李四"_qs, u"王五"_qs}); // swapped on and renamed
    QCOMPARE(window.editor->toPlainText(),
             u"-00:00:01- 李四：我是张三。\n-00:00:02- 王五：好。\n-00:00:03- 李四：再见"_qs);
    window.editor->undo();
    QCOMPARE(window.editor->toPlainText(), text);
}

// Characters GBK lacks are typed as any typed text is: kept, and saved in GB18030.
void InsertionCommandsTest::aNameOutsideGbkIsTypedAsTypingIt()
{
    TypingWindow window;
    const QString recording = window.loadRecording(5.0);
    window.ui->Timer1->stop();
    window.ui->Label1->setText(u"00:00:01"_qs);
    window.speakers().setNames({u"𠮷田"_qs});
    window.typeAtTheEnd(QString());
    QTest::keyClick(window.editor, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(window.editor->toPlainText(), u"-00:00:01- 𠮷田："_qs);
    QTest::keyClick(window.editor, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(TempFolder::read(recording + u".txt"_qs), encodeTranscript(u"-00:00:01- 𠮷田："_qs));
    QVERIFY(window.desktop.boxes.isEmpty());
}

void InsertionCommandsTest::eachRecordingKeepsItsSpeakers()
{
    TempFolder state;
    TypingWindow window(state.path());
    window.loadRecording(5.0, u"a.wav"_qs);
    window.speakers().setNames({u"法官"_qs, u"原告"_qs});
    window.loadRecording(5.0, u"b.wav"_qs);
    QCOMPARE(window.speakers().names(), (QStringList{u"法官"_qs, u"原告"_qs})); // from the list saved last
    window.speakers().setNames({u"主持人"_qs});
    window.loadRecording(5.0, u"a.wav"_qs);
    QCOMPARE(window.speakers().names(), (QStringList{u"法官"_qs, u"原告"_qs}));
    TypingWindow restarted(state.path());
    restarted.loadRecording(5.0, u"b.wav"_qs);
    QCOMPARE(restarted.speakers().names(), QStringList{u"主持人"_qs});
}

void InsertionCommandsTest::phrasesAndAbbreviations()
{
    TypingWindow window;
    PhraseOptions options;
    options.phrases[6] = u"（{时间}休庭）"_qs;
    options.abbreviations = {{u"gsr"_qs, u"公诉人"_qs}};
    writePhraseOptions(window.programPath, options);
    window.typeAtTheEnd(u"他说"_qs);
    QTest::keyClick(window.editor, Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(window.editor->toPlainText(), u"他说[听不清]-00:12:34-"_qs);
    QTest::keyClick(window.editor, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(window.editor->toPlainText(), u"他说[听不清]-00:12:34-（-00:12:34-休庭）"_qs);
    window.typeAtTheEnd(u"请gsr"_qs);
    QTest::keyClick(window.editor, Qt::Key_F11); // not the key chosen
    QCOMPARE(window.editor->toPlainText(), u"请gsr"_qs);
    QTest::keyClick(window.editor, Qt::Key_F5);
    QCOMPARE(window.editor->toPlainText(), u"请公诉人"_qs);
    window.editor->undo();
    QCOMPARE(window.editor->toPlainText(), u"请gsr"_qs);
    QTest::keyClick(window.editor, Qt::Key_F6, Qt::ShiftModifier); // none set
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY(window.desktop.boxes.first().text.contains(u"Shift+F6"_qs));
}

void InsertionCommandsTest::dialogsSaveWhatTheyShow()
{
    TypingWindow window;
    auto* phrases = new PhrasesDialog(window.window.get(), window.desktop, window.programPath);
    QTimer::singleShot(0, phrases, [&] {
        phrases->phraseBoxes[1]->setText(u"[咳嗽]"_qs);
        phrases->abbreviations->setPlainText(u"zs=张三\n坏的一行"_qs);
        phrases->saveButton->click(); // refused: the bad line is told
        phrases->abbreviations->setPlainText(u"zs=张三"_qs);
        phrases->expandKey->setCurrentIndex(1);
        phrases->saveButton->click();
    });
    phrases->exec();
    const PhraseOptions saved = readPhraseOptions(window.programPath).options;
    QCOMPARE(saved.phrases[1], u"[咳嗽]"_qs);
    QCOMPARE(saved.phrases[0], u"[听不清]{时间}"_qs);
    QCOMPARE(saved.abbreviations, (QList<Abbreviation>{{u"zs"_qs, u"张三"_qs}}));
    QCOMPARE(saved.expandKey, ExpandKey::F11);
    QCOMPARE(window.desktop.boxes.size(), 2);
    QVERIFY(window.desktop.boxes[0].text.contains(u"坏的一行"_qs));

    window.speakers().setNames({u"甲"_qs});
    QTimer::singleShot(0, window.window.get(), [&] {
        auto* dialog = window.window->findChild<SpeakersDialog*>();
        dialog->nameBoxes[1]->setText(u"乙，丙"_qs);
        dialog->saveButton->click(); // refused
        dialog->nameBoxes[1]->setText(u"乙"_qs);
        dialog->saveButton->click();
    });
    window.ui->speakersAction->trigger();
    QCOMPARE(window.speakers().names(), (QStringList{u"甲"_qs, u"乙"_qs}));
    QVERIFY(window.desktop.boxes.last().text.contains(u"乙，丙"_qs));
}

QTEST_MAIN(InsertionCommandsTest)
#include "insertion_commands_test.moc"
