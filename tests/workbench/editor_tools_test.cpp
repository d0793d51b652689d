#include "app/link_label.h"
#include "editor/transcript_edit.h"
#include "support/window_under_test.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

using namespace tavrin;
using tavrin::test::WindowUnderTest;

namespace {

const QString kNotFound = QStringLiteral("对不起，没有找到你输入的关键字。");

QString selectionOf(TranscriptEdit* editor)
{
    const QTextCursor cursor = editor->textCursor();
    return QStringLiteral("%1-%2").arg(cursor.selectionStart()).arg(cursor.selectionEnd());
}

} // namespace

class EditorToolsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void search_data();
    void search();
    void findFirstMissLeavesEverything();
    void findNextAfterCopyAllFindsNothing();
    void count_data();
    void count();
    void copyAll();
    void fontSizes();
};

void EditorToolsTest::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("clicks");   // F: find first, N: find next
    QTest::addColumn<QString>("expected"); // after each click, start-end, split by blanks
    // clang-format off
    QTest::newRow("abc abc") << "abc abc" << "abc" << "FNNF" << "0-3 4-7 4-7 0-3";
    QTest::newRow("abab") << "abab" << "ab" << "FN" << "0-2 2-4";
    QTest::newRow("aaa: no overlap") << "aaa" << "aa" << "FN" << "0-2 0-2";
    QTest::newRow("blanks: first as typed, next trimmed")
        << "x abc y abc" << " abc " << "FN" << "1-6 8-11";
    QTest::newRow("next from the caret") << "abc abc" << "abc" << "N" << "0-3";
    QTest::newRow("Chinese") << "我们说了，我们走了" << "我们" << "FNN" << "0-2 5-7 5-7";
    QTest::newRow("inside a character is not offered") << "录音家" << "家" << "F" << "2-3";
    QTest::newRow("outside GBK before the match")
        << QStringLiteral("\U00020000ab ab") << "ab" << "FN" << "2-4 5-7";
    QTest::newRow("across lines") << "ab\ncd ab" << "ab" << "FN" << "0-2 6-8";
    // clang-format on
}

void EditorToolsTest::search()
{
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(QString, clicks);
    QFETCH(QString, expected);
    const QStringList selections = expected.split(u' ');
    WindowUnderTest window;
    QVERIFY(window.show());
    window.ui->Memo1->setPlainText(text); // the caret stands at the start
    window.ui->Edit4->setText(keyword);
    for (qsizetype i = 0; i < clicks.size(); ++i) {
        window.ui->Edit4->setFocus();
        QTest::mouseClick(clicks[i] == u'F' ? window.ui->Label2 : window.ui->Label4, Qt::LeftButton);
        QCOMPARE(selectionOf(window.ui->Memo1), selections[i]);
        if (selections[i] != (i ? selections[i - 1] : QStringLiteral("0-0")))
            QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
    }
    QVERIFY(window.desktop.boxes.isEmpty()); // find next is silent, even on a miss
}

void EditorToolsTest::findFirstMissLeavesEverything()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.ui->Memo1->setPlainText(QStringLiteral("abc abc"));
    for (const QString& keyword : {QStringLiteral("ABC"), QString(), QStringLiteral("\u00E4")}) {
        window.desktop.boxes.clear();
        window.ui->Edit4->setText(keyword);
        window.ui->Edit4->setFocus();
        QTest::mouseClick(window.ui->Label2, Qt::LeftButton);
        QCOMPARE(window.desktop.texts(), QStringList{kNotFound});
        QCOMPARE(window.desktop.boxes.first().caption, QStringLiteral("Tavrin录音整理"));
        QCOMPARE(selectionOf(window.ui->Memo1), QStringLiteral("0-0"));
        QCOMPARE(QApplication::focusWidget(), window.ui->Edit4);
    }
    window.desktop.boxes.clear();
    window.ui->Edit4->setText(QStringLiteral("   "));
    QTest::mouseClick(window.ui->Label4, Qt::LeftButton);
    QVERIFY(window.desktop.boxes.isEmpty());
}

void EditorToolsTest::findNextAfterCopyAllFindsNothing()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.ui->Memo1->setPlainText(QStringLiteral("abc abc"));
    window.ui->N18->trigger();
    window.ui->Edit4->setText(QStringLiteral("abc"));
    QTest::mouseClick(window.ui->Label4, Qt::LeftButton);
    QCOMPARE(selectionOf(window.ui->Memo1), QStringLiteral("0-7"));
    // The text changed since the last search: the next one sees the new text.
    window.ui->Memo1->setPlainText(QStringLiteral("xyz abc"));
    QTest::mouseClick(window.ui->Label2, Qt::LeftButton);
    QCOMPARE(selectionOf(window.ui->Memo1), QStringLiteral("4-7"));
}

void EditorToolsTest::count_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("chinese");
    QTest::addColumn<int>("latin");
    // clang-format off
    QTest::newRow("中文abc 123") << "中文abc 123" << 2 << 6;
    QTest::newRow("full-width marks") << "，。" << 2 << 0;
    QTest::newRow("a time mark") << "-00:01:23-" << 0 << 10;
    QTest::newRow("侶: a second byte in ASCII") << "侶" << 0 << 1;
    QTest::newRow("empty") << "" << 0 << 0;
    QTest::newRow("line breaks count nothing") << "中\n\n文 a" << 2 << 1;
    // clang-format on
}

void EditorToolsTest::count()
{
    QFETCH(QString, text);
    QFETCH(int, chinese);
    QFETCH(int, latin);
    WindowUnderTest window;
    window.ui->Memo1->setPlainText(text);
    window.ui->N17->trigger();
    QCOMPARE(window.desktop.texts(),
             QStringList{QStringLiteral("汉字及中文符号：%1\r数字字母及英文符号：%2").arg(chinese).arg(latin)});
    QCOMPARE(window.desktop.boxes.first().caption, QStringLiteral("Tavrin录音整理"));
}

void EditorToolsTest::copyAll()
{
    WindowUnderTest window;
    window.ui->Memo1->setPlainText(QStringLiteral("第一行\nsecond"));
    window.ui->N18->trigger();
    QCOMPARE(window.desktop.clipboard, QStringLiteral("第一行\nsecond"));
    QCOMPARE(window.desktop.texts(), QStringList{QStringLiteral("复制成功！")});
    QCOMPARE(window.ui->Memo1->textCursor().selectedText().size(), window.ui->Memo1->toPlainText().size());

    window.desktop.boxes.clear();
    window.desktop.clipboardWorks = false;
    window.ui->N18->trigger();
    QCOMPARE(window.desktop.texts(), QStringList{QStringLiteral("复制失败！")});
}

void EditorToolsTest::fontSizes()
{
    WindowUnderTest window;
    const QFont start = window.ui->Memo1->font();
    const struct {
        QAction* item;
        int points;
    } sizes[] = {
        {window.ui->N13, 40}, {window.ui->N15, 32}, {window.ui->N16, 24}, {window.ui->N10, 16}, {window.ui->N13, 40}};
    for (const auto& size : sizes) {
        size.item->trigger();
        QCOMPARE(window.ui->Memo1->font().pointSize(), size.points);
        QCOMPARE(window.ui->Memo1->font().families(), start.families());
        QCOMPARE(window.ui->Memo1->font().bold(), start.bold());
    }
    QVERIFY(!window.ui->N13->isCheckable());
    QVERIFY(window.desktop.boxes.isEmpty());
}

QTEST_MAIN(EditorToolsTest)
#include "editor_tools_test.moc"
