#include "app/main_window.h"
#include "controls/player_controls.h"
#include "desktop/app_texts.h"
#include "editor/transcript_edit.h"
#include "support/wav_file.h"
#include "support/window_under_test.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::WindowUnderTest;

namespace {
constexpr int kWaitMs = 15000;
}

class MainWindowShellTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingsFileCheck_data();
    void settingsFileCheck();
    void closingYesEnds();
    void closingNoLeavesEverythingRunning();
    void sessionEndClosesWithoutAsking();
    void timer2HidesTheSaveNotice();
    void serviceMenuOpensTheBrowser();
    void commandErrorsGoToTheDefaultErrorBox();
    void controlBarDrivesThePlayerDirectly();
};

void MainWindowShellTest::settingsFileCheck_data()
{
    QTest::addColumn<QString>("fileName"); // empty: no settings file
    QTest::addColumn<bool>("refused");
    QTest::newRow("missing") << QString() << true;
    QTest::newRow("Time.ini") << "Time.ini" << false;
    QTest::newRow("time.ini") << "time.ini" << false;
    QTest::newRow("TIME.INI") << "TIME.INI" << false;
    QTest::newRow("other name") << "Time.ini.bak" << true;
}

void MainWindowShellTest::settingsFileCheck()
{
    QFETCH(QString, fileName);
    QFETCH(bool, refused);
    WindowUnderTest window(!fileName.isEmpty(), fileName);
    QCOMPARE(window.terminationRequested, refused);
    if (!refused) {
        QVERIFY(window.desktop.boxes.isEmpty());
        return;
    }
    QCOMPARE(window.desktop.boxes.size(), 1);
    const auto& box = window.desktop.boxes.first();
    QCOMPARE(box.caption, QStringLiteral("提示"));
    QCOMPARE(box.text, QStringLiteral("文件缺失，请重新解压，请确保主程序文件和time.ini文件存在同一个文件夹下。"));
    QCOMPARE(box.icon, BoxIcon::Information);
    // The program is ending: its closing does not ask.
    QVERIFY(window.show());
    QVERIFY(window->close());
    QCOMPARE(window.desktop.boxes.size(), 1);
}

void MainWindowShellTest::closingYesEnds()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.desktop.answers = {true};
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(window.desktop.boxes.size(), 1);
    const auto& box = window.desktop.boxes.first();
    QVERIFY(box.question);
    QCOMPARE(box.caption, QStringLiteral("提示"));
    QCOMPARE(box.icon, BoxIcon::Question);
    QCOMPARE(box.text,
             QStringLiteral("程序即将关闭，请确认你已经保存了文档！\n\r点\"是\"退出程序，点\"否\"返回保存！"));
}

void MainWindowShellTest::closingNoLeavesEverythingRunning()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    const QString wav = window.programFolder.filePath(QStringLiteral("meeting.wav"));
    test::writeWav(wav, 60.0);
    window.ui->WindowsMediaPlayer1->setUrl(wav);
    window.ui->WindowsMediaPlayer1->play();
    window.ui->Memo1->setPlainText(QStringLiteral("第一行\nsecond line"));
    window.ui->Memo1->moveCursor(QTextCursor::End);
    const bool timer2Running = window.ui->Timer2->isActive();

    for (int attempt = 1; attempt <= 2; ++attempt) {
        window.desktop.answers = {false};
        QVERIFY(!window->close());
        QCOMPARE(window.desktop.boxes.size(), attempt); // asked again every time
        QVERIFY(window->isVisible());
        QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("第一行\nsecond line"));
        QCOMPARE(window.ui->WindowsMediaPlayer1->playState(), int(PlayStatePlaying));
        QCOMPARE(window.ui->Timer2->isActive(), timer2Running);
    }
    const double before = window.ui->WindowsMediaPlayer1->currentPosition();
    QTRY_VERIFY_WITH_TIMEOUT(window.ui->WindowsMediaPlayer1->currentPosition() > before + 0.2, kWaitMs);
}

void MainWindowShellTest::sessionEndClosesWithoutAsking()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window->endSession();
    QVERIFY(window->close());
    QVERIFY(window.desktop.boxes.isEmpty());
}

void MainWindowShellTest::timer2HidesTheSaveNotice()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    QVERIFY(window.ui->Timer2->isActive());
    QCOMPARE(window.ui->Timer2->interval(), 1000);
    window.ui->Label17->setText(QStringLiteral("保存成功！"));
    window.ui->Label17->show();
    QVERIFY(window.ui->Label17->isVisible());
    QSignalSpy tick(window.ui->Timer2, &QTimer::timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!window.ui->Label17->isVisible(), 3000);
    QCOMPARE(tick.count(), 1); // gone at the first tick, within a second
}

void MainWindowShellTest::serviceMenuOpensTheBrowser()
{
    WindowUnderTest window;
    window.ui->N20->trigger();
    QCOMPARE(window.desktop.openedPages.size(), 1);
    const QUrl page = window.desktop.openedPages.first();
    QVERIFY(page.isValid());
    QCOMPARE(page.scheme(), QStringLiteral("https"));
    QVERIFY(window.desktop.boxes.isEmpty());
}

void MainWindowShellTest::commandErrorsGoToTheDefaultErrorBox()
{
    WindowUnderTest window;
    bool nextRan = false;
    window->runCommand([] { throw std::runtime_error("'abc' is not a valid integer value"); });
    window->runCommand([] { throw std::runtime_error("保存失败!"); });
    window->runCommand([&] { nextRan = true; });
    QVERIFY(nextRan);
    QCOMPARE(window.desktop.boxes.size(), 2);
    QCOMPARE(window.desktop.boxes[0].caption, QStringLiteral("Tavrin录音整理"));
    QCOMPARE(window.desktop.boxes[0].text, QStringLiteral("'abc' is not a valid integer value."));
    QCOMPARE(window.desktop.boxes[0].icon, BoxIcon::Stop);
    QCOMPARE(window.desktop.boxes[1].text, QStringLiteral("保存失败!"));
}

void MainWindowShellTest::controlBarDrivesThePlayerDirectly()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    const QString wav = window.programFolder.filePath(QStringLiteral("bar.wav"));
    test::writeWav(wav, 30.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    player->setUrl(wav);
    const auto buttons = window.ui->PlayerControls1->findChildren<QAbstractButton*>();
    auto buttonNamed = [&](const QString& name) {
        for (QAbstractButton* candidate : buttons)
            if (candidate->accessibleName() == name)
                return candidate;
        return static_cast<QAbstractButton*>(nullptr);
    };
    QTest::mouseClick(buttonNamed(QStringLiteral("播放")), Qt::LeftButton);
    QCOMPARE(player->playState(), int(PlayStatePlaying));
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("播     放")); // not the program's play command
    QTRY_VERIFY_WITH_TIMEOUT(buttonNamed(QStringLiteral("暂停"))->isEnabled(), kWaitMs);
    QVERIFY(!buttonNamed(QStringLiteral("播放"))->isEnabled());
    QTest::mouseClick(buttonNamed(QStringLiteral("暂停")), Qt::LeftButton);
    QCOMPARE(player->playState(), int(PlayStatePaused));
    QTest::mouseClick(buttonNamed(QStringLiteral("停止")), Qt::LeftButton);
    QCOMPARE(player->playState(), int(PlayStateStopped));
    QTest::mouseClick(buttonNamed(QStringLiteral("静音")), Qt::LeftButton);
    QVERIFY(player->isMuted());

    QSlider* volume = nullptr;
    QSlider* seek = nullptr;
    for (QSlider* slider : window.ui->PlayerControls1->findChildren<QSlider*>())
        (slider->accessibleName() == QStringLiteral("音量") ? volume : seek) = slider;
    QCOMPARE(volume->value(), 50);
    volume->setValue(20);
    QCOMPARE(player->volume(), 20);
    QTRY_COMPARE_WITH_TIMEOUT(seek->maximum(), 300, kWaitMs);
    seek->setFocus();
    QTest::keyClick(seek, Qt::Key_End);
    QCOMPARE(player->currentPosition(), 30.0);
}

QTEST_MAIN(MainWindowShellTest)
#include "main_window_shell_test.moc"
