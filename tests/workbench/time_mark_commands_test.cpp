#include "app/link_label.h"
#include "controls/time_box.h"
#include "editor/transcript_edit.h"
#include "support/window_under_test.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::WindowUnderTest;

namespace {

const QString kBadTime = QStringLiteral("请查验时间是否输入正确。只能输入形如 01:23:54 小时分钟秒数这种格式的时间。");

// Double-clicks the editor on the character at `position`.
void doubleClickAt(TranscriptEdit* editor, int position)
{
    QTextCursor at(editor->document());
    at.setPosition(position);
    const QRect box = editor->cursorRect(at);
    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, QPoint(box.x() + 4, box.center().y()));
}

} // namespace

class TimeMarkCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void timeMark_data();
    void timeMark();
    void goToTime_data();
    void goToTime();
    void goToTimeWithoutRecording();
    void goToTimeWhenThePlayerFails();
    void doubleClick_data();
    void doubleClick();
    void doubleClickWithoutClipboard();
};

void TimeMarkCommandsTest::timeMark_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");
    QTest::newRow("at the caret") << 3 << 0 << "abc-00:12:34-def";
    QTest::newRow("over a selection") << 2 << 2 << "ab-00:12:34-ef";
    QTest::newRow("at the start") << 0 << 0 << "-00:12:34-abcdef";
}

void TimeMarkCommandsTest::timeMark()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, text);
    WindowUnderTest window;
    QVERIFY(window.show());
    TranscriptEdit* editor = window.ui->Memo1;
    editor->setPlainText(QStringLiteral("abcdef"));
    window.ui->Label1->setText(QStringLiteral("00:12:34"));
    QTextCursor selection = editor->textCursor();
    selection.setPosition(start);
    selection.setPosition(start + length, QTextCursor::KeepAnchor);
    editor->setTextCursor(selection);

    QTest::mouseClick(window.ui->BitBtn1, Qt::LeftButton);
    QCOMPARE(editor->toPlainText(), text);
    QCOMPARE(editor->textCursor().position(), start + 10); // right after the second hyphen
    QVERIFY(!editor->textCursor().hasSelection());
    editor->undo(); // an ordinary edit
    QCOMPARE(editor->toPlainText(), QStringLiteral("abcdef"));
    QVERIFY(window.desktop.boxes.isEmpty());
}

void TimeMarkCommandsTest::goToTime_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("seconds"); // -1: rejected
    QTest::newRow("01:23:54") << "01:23:54" << 5034.0;
    QTest::newRow("00:00:00") << "00:00:00" << 0.0;
    QTest::newRow("1:2:3") << "1:2:3" << 3723.0;
    QTest::newRow("01:02:03") << "01:02:03" << 3723.0;
    QTest::newRow("01:23") << "01:23" << 4980.0;
    QTest::newRow("5") << "5" << 18000.0;
    QTest::newRow("blanks around") << " 00:00:10 " << 10.0;
    QTest::newRow("24:00:00") << "24:00:00" << -1.0;
    QTest::newRow("00:60:00") << "00:60:00" << -1.0;
    QTest::newRow("00:00:60") << "00:00:60" << -1.0;
    QTest::newRow("fraction") << "00:00:10.5" << -1.0;
    QTest::newRow("a mark") << "-00:12:34-" << -1.0;
    QTest::newRow("letters") << "abc" << -1.0;
    QTest::newRow("empty") << "" << -1.0;
}

void TimeMarkCommandsTest::goToTime()
{
    QFETCH(QString, typed);
    QFETCH(double, seconds);
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(5 * 3600 + 60); // long enough for "5", five hours
    window.ui->Timer1->stop();
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    const QString caption = window.ui->BitBtn4->text();
    window.ui->Edit3->setText(typed);
    QTest::mouseClick(window.ui->Label9, Qt::LeftButton);
    QCOMPARE(window.ui->Label1->text(), typed); // shown at once, kept until the next refresh
    if (seconds < 0) {
        QCOMPARE(window.desktop.texts(), QStringList{kBadTime});
        QCOMPARE(window.desktop.boxes.first().icon, BoxIcon::None);
        QCOMPARE(player->currentPosition(), 0.0);
        QCOMPARE(player->playState(), int(PlayStateStopped));
    } else {
        QVERIFY(window.desktop.boxes.isEmpty());
        QCOMPARE(player->currentPosition(), seconds);
        QCOMPARE(player->playState(), int(PlayStatePlaying));
    }
    QCOMPARE(window.ui->BitBtn4->text(), caption);
    QVERIFY(!window.ui->Timer1->isActive());
}

void TimeMarkCommandsTest::goToTimeWithoutRecording()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.ui->Edit3->setText(QStringLiteral("00:01:00"));
    QTest::mouseClick(window.ui->Label9, Qt::LeftButton);
    QVERIFY(window.desktop.boxes.isEmpty());
    // The display is not running yet, so the typed text stays and goes into a mark.
    window.ui->Edit3->setText(QStringLiteral("bad"));
    QTest::mouseClick(window.ui->Label9, Qt::LeftButton);
    QCOMPARE(window.desktop.texts(), QStringList{kBadTime});
    window.ui->Memo1->setFocus();
    window->BitBtn1Click();
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("-bad-"));
}

// A player that cannot start is told as the player's failure, never as a badly typed time.
void TimeMarkCommandsTest::goToTimeWhenThePlayerFails()
{
    PlayerFaults faults;
    faults.initializeFails = true;
    WindowUnderTest window(true, QStringLiteral("Time.ini"), QString(), QString(),
                           [&](TMainForm1::Environment& environment) { environment.player.faults = &faults; });
    QVERIFY(window.show());
    window.desktop.boxes.clear();
    window.ui->Edit3->setText(QStringLiteral("00:01:00"));
    QTest::mouseClick(window.ui->Label9, Qt::LeftButton);
    QCOMPARE(window.desktop.boxes.size(), 1);
    QCOMPARE(window.desktop.boxes.first().icon, BoxIcon::Stop);
    QVERIFY2(window.desktop.texts().first().contains(QStringLiteral("播放器")),
             qPrintable(window.desktop.texts().first()));
    QVERIFY(window.desktop.texts().first() != kBadTime);
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
}

void TimeMarkCommandsTest::doubleClick_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("clickAt");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<double>("seconds"); // -1: rejected by go to time
    QTest::newRow("on the digits of a mark") << "说到-00:12:34-这里" << 4 << "00:12:34" << 754.0;
    QTest::newRow("on a colon of a mark") << "说到-00:12:34-这里" << 8 << "00:12:34" << 754.0;
    QTest::newRow("on a bare time") << "start 01:02:03 end" << 9 << "01:02:03" << 3723.0;
    QTest::newRow("on an ordinary word") << "hello world" << 1 << "hello" << -1.0;
}

void TimeMarkCommandsTest::doubleClick()
{
    QFETCH(QString, text);
    QFETCH(int, clickAt);
    QFETCH(QString, selected);
    QFETCH(double, seconds);
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(2 * 3600);
    window.ui->Timer1->stop();
    window.ui->Memo1->setPlainText(text);
    doubleClickAt(window.ui->Memo1, clickAt);

    QCOMPARE(window.ui->Memo1->textCursor().selectedText(), selected);
    QCOMPARE(window.desktop.clipboard, selected);
    QCOMPARE(window.ui->Edit3->text(), selected);
    QCOMPARE(window.ui->Label1->text(), selected);
    QCOMPARE(window.ui->Memo1->toPlainText(), text);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    if (seconds < 0) {
        QCOMPARE(window.desktop.texts(), QStringList{kBadTime});
        QCOMPARE(player->currentPosition(), 0.0);
    } else {
        QVERIFY(window.desktop.boxes.isEmpty());
        QCOMPARE(player->currentPosition(), seconds);
        QCOMPARE(player->playState(), int(PlayStatePlaying));
    }
}

void TimeMarkCommandsTest::doubleClickWithoutClipboard()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.desktop.clipboardWorks = false;
    window.ui->Memo1->setPlainText(QStringLiteral("-00:12:34-"));
    doubleClickAt(window.ui->Memo1, 3);
    QCOMPARE(window.desktop.texts(), QStringList{QStringLiteral("时间格式有误，请查正！")});
    QCOMPARE(window.ui->Edit3->text(), QStringLiteral("00:00:00"));
}

QTEST_MAIN(TimeMarkCommandsTest)
#include "time_mark_commands_test.moc"
