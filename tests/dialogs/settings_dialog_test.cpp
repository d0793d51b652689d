#include "dialogs/settings_dialog.h"
#include "support/window_under_test.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

namespace {

const QByteArray kSection = QByteArray("[\xCA\xB1\xBC\xE4]");

QByteArray settingsFile(const WindowUnderTest& window)
{
    return TempFolder::read(window.programFolder.filePath(QStringLiteral("Time.ini")));
}

// Opens the dialog the way the menu does, without blocking the test.
TForm3* openDialog(WindowUnderTest& window)
{
    TForm3* dialog = window.ui->Form3;
    dialog->open();
    if (!QTest::qWaitForWindowExposed(dialog))
        return nullptr;
    return dialog;
}

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layout_data();
    void layout();
    void showingLoadsTheFileEveryTime();
    void savingWritesInOrderThenCloses();
    void fileDeletedWhileRunning();
    void failedWriteKeepsTheDialogOpen();
    void closingWithoutSavingWritesNothing_data();
    void closingWithoutSavingWritesNothing();
    void firstShowingCentredThenWhereLeft();
};

void SettingsDialogTest::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("visible");
    QTest::newRow("Edit2") << "Edit2" << QRect(41, 41, 42, 21) << "3" << true;
    QTest::newRow("Label2") << "Label2" << QRect(90, 45, 201, 13) << "对应快捷键F9     后退指定时间" << true;
    QTest::newRow("Edit3") << "Edit3" << QRect(41, 73, 42, 21) << "10" << false;
    QTest::newRow("Label3") << "Label3" << QRect(90, 74, 241, 13) << "" << false;
    QTest::newRow("Edit1") << "Edit1" << QRect(41, 104, 41, 21) << "5" << true;
    QTest::newRow("Label1") << "Label1" << QRect(90, 107, 231, 13) << "对应快捷键F12     向前播放指定时间" << true;
    QTest::newRow("Label5") << "Label5" << QRect(42, 128, 249, 13) << "注意：只需填入数字即可，单位为秒。" << true;
    QTest::newRow("Button1") << "Button1" << QRect(130, 144, 75, 25) << "保存设置" << true;
}

void SettingsDialogTest::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(bool, visible);
    WindowUnderTest window;
    TForm3* dialog = openDialog(window);
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("时长设置"));
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(dialog->isModal());
    auto* control = dialog->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->isVisible(), visible);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        QCOMPARE(edit->text(), text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QPushButton*>(control)->text(), text);

    // Tab order Edit2, Button1, Edit1; the focus starts in Edit2.
    QTRY_COMPARE(QApplication::focusWidget(), dialog->Edit2);
    QTest::keyClick(dialog->Edit2, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog->Button1);
    QTest::keyClick(dialog->Button1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog->Edit1);
}

void SettingsDialogTest::showingLoadsTheFileEveryTime()
{
    WindowUnderTest window;
    TForm3* dialog = openDialog(window);
    QVERIFY(dialog);
    QCOMPARE(dialog->Edit2->text(), QStringLiteral("3"));
    dialog->Edit2->setText(QStringLiteral("99")); // not saved
    dialog->reject();
    window.programFolder.write(QStringLiteral("Time.ini"), kSection + "\r\nshijian2=-4\r\nshijian1=abc\r\n");
    QVERIFY(openDialog(window));
    QCOMPARE(dialog->Edit2->text(), QStringLiteral("-4"));
    QCOMPARE(dialog->Edit3->text(), QStringLiteral("shijian3"));
    QCOMPARE(dialog->Edit1->text(), QStringLiteral("abc"));
}

void SettingsDialogTest::savingWritesInOrderThenCloses()
{
    WindowUnderTest window;
    window.programFolder.write(QStringLiteral("Time.ini"), QByteArray("; steps\r\n" + kSection + "\r\nshijian2=3\r\n"));
    TForm3* dialog = openDialog(window);
    QVERIFY(dialog);
    dialog->Edit2->setText(QStringLiteral(""));
    dialog->Edit1->setText(QStringLiteral("5s"));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(window.desktop.texts(), QStringList{QStringLiteral("更改时间成功!")});
    QCOMPARE(window.desktop.boxes.first().caption, QStringLiteral("Tavrin录音整理"));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    // Written unchecked, in the order shijian2, shijian3, shijian1; the spare key
    // gets the text its box read, the key's own name where it was missing.
    QCOMPARE(settingsFile(window),
             QByteArray("; steps\r\n" + kSection + "\r\nshijian2=\r\nshijian3=shijian3\r\nshijian1=5s\r\n"));
}

void SettingsDialogTest::fileDeletedWhileRunning()
{
    WindowUnderTest window;
    QVERIFY(QFile::remove(window.programFolder.filePath(QStringLiteral("Time.ini"))));
    TForm3* dialog = openDialog(window);
    QVERIFY(dialog);
    QCOMPARE(dialog->Edit2->text(), QStringLiteral("shijian2"));
    QCOMPARE(dialog->Edit3->text(), QStringLiteral("shijian3"));
    QCOMPARE(dialog->Edit1->text(), QStringLiteral("shijian1"));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(settingsFile(window),
             QByteArray(kSection + "\r\nshijian2=shijian2\r\nshijian3=shijian3\r\nshijian1=shijian1\r\n"));
}

void SettingsDialogTest::failedWriteKeepsTheDialogOpen()
{
    WindowUnderTest window;
    const QString path = window.programFolder.filePath(QStringLiteral("Time.ini"));
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(window.programFolder.path()).mkdir(QStringLiteral("Time.ini"))); // cannot be written as a file
    TForm3* dialog = openDialog(window);
    QVERIFY(dialog);
    dialog->Edit2->setText(QStringLiteral("8"));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(window.desktop.boxes.size(), 1);
    QCOMPARE(window.desktop.boxes.first().text, QStringLiteral("Unable to write to ") + path + u'.');
    QCOMPARE(window.desktop.boxes.first().icon, BoxIcon::Stop);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->Edit2->text(), QStringLiteral("8"));
    dialog->reject();
}

void SettingsDialogTest::closingWithoutSavingWritesNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Enter in a box") << int(Qt::Key_Return) << false;
    QTest::newRow("keypad Enter in a box") << int(Qt::Key_Enter) << false;
    QTest::newRow("Esc in a box") << int(Qt::Key_Escape) << false;
    QTest::newRow("close box") << 0 << true;
}

void SettingsDialogTest::closingWithoutSavingWritesNothing()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    WindowUnderTest window;
    const QByteArray before = settingsFile(window);
    TForm3* dialog = openDialog(window);
    QVERIFY(dialog);
    dialog->Edit2->setFocus();
    dialog->Edit2->setText(QStringLiteral("42"));
    if (key)
        QTest::keyClick(dialog->Edit2, Qt::Key(key));
    else
        dialog->close();
    QCOMPARE(dialog->isVisible(), !closes);
    QCOMPARE(settingsFile(window), before);
    QVERIFY(window.desktop.boxes.isEmpty());
    dialog->reject();
}

void SettingsDialogTest::firstShowingCentredThenWhereLeft()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    TForm3* dialog = openDialog(window);
    QVERIFY(dialog);
    const QPoint centre = window->frameGeometry().center();
    QVERIFY((dialog->frameGeometry().center() - centre).manhattanLength() <= 4);
    // Moved by the user (through the window system, as a drag does), then closed.
    const QPoint offset(-150, 80);
    const QPoint moved = dialog->pos() + offset;
    dialog->windowHandle()->setPosition(dialog->windowHandle()->position() + offset);
    QTRY_COMPARE(dialog->pos(), moved);
    dialog->reject();
    QVERIFY(openDialog(window));
    QCOMPARE(dialog->pos(), moved);
    dialog->reject();
}

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
