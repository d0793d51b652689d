#include "app/app_style.h"
#include "app/main_window.h"
#include "controls/player_controls.h"
#include "controls/rate_spin_box.h"
#include "controls/time_box.h"
#include "dialogs/settings_dialog.h"
#include "editor/transcript_edit.h"
#include "support/window_under_test.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::WindowUnderTest;

class MainWindowLayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void window();
    void controls_data();
    void controls();
    void menuBar_data();
    void menuBar();
    void tabOrder();
    void everyControlIsNamedInChinese();
    void startState();
    void editorTakesNoTabAndOpensNoContextMenu();
    void rateBoxOnlySteps_data();
    void rateBoxOnlySteps();
    void timeBoxTakesEightCharacters();
};

void MainWindowLayoutTest::initTestCase()
{
    installAppStyle(*qApp);
}

void MainWindowLayoutTest::window()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    QCOMPARE(window->windowTitle(),
             QStringLiteral("Tavrin录音整理速记助手V6.6    一款好用的录音整理辅助软件，可以为你节约不少时间！"));
    QCOMPARE(window->centralWidget()->size(), QSize(992, 635));
    QCOMPARE(window->centralWidget()->y(), window->menuBar()->height());
    QCOMPARE(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QCOMPARE(window->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, window.ui->Memo1), 800);
    QCOMPARE(window->font().pixelSize(), 11);
    // The editor's own face comes once the window has first been painted.
    QTRY_COMPARE(window.ui->Memo1->font().pixelSize(), 29);

    TForm3* dialog = window.ui->Form3;
    QVERIFY(dialog->isHidden());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("时长设置"));
}

void MainWindowLayoutTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    auto row = [](const char* name, QRect geometry, const QString& caption = {}, const QString& hint = {}) {
        QTest::newRow(name) << QString::fromLatin1(name) << geometry << caption << hint;
    };
    row("Panel1", QRect(0, 0, 984, 25));
    row("Label14", QRect(7, 3, 114, 13), QStringLiteral("文稿听打整理区："));
    row("Memo1", QRect(0, 25, 984, 488));
    row("Panel2", QRect(0, 513, 984, 112));
    row("Panel3", QRect(1, 1, 982, 48));
    row("Panel6", QRect(1, 49, 982, 62));
    row("BitBtn1", QRect(15, 13, 75, 25), QStringLiteral("标注时间F8"),
        QStringLiteral("遇到听不清的地方，请按F8标注时间，便于以后校对。"));
    row("BitBtn4", QRect(92, 12, 75, 26), QStringLiteral("播     放"),
        QStringLiteral("播放、暂停通过空格键或回车键一键控制"));
    row("BitBtn7", QRect(170, 12, 75, 26), QStringLiteral("复读后退F9"),
        QStringLiteral("按一次复读指定时间 按多次则为快速倒退 编辑模式下的快捷键F9"));
    row("BitBtn2", QRect(248, 12, 75, 26), QStringLiteral("前进F12"), QStringLiteral("编辑模式下 快进指定秒数"));
    row("Label17", QRect(325, 19, 77, 20));
    row("BitBtn10", QRect(404, 13, 106, 25), QStringLiteral("保存文稿Ctrl+S"),
        QStringLiteral("注意：添加语音文件和输入标题后请点击“保存文档”，“保存文档”后方可进行内容编辑。"));
    row("RzSpinEdit1", QRect(512, 16, 45, 21), QStringLiteral("1.0"),
        QStringLiteral("播放快慢倍率调节，鼠标在编辑框中激活的情况下按ctrl+上箭头 "
                       "加快播放0.1个等级；ctrl+下箭头减慢播放0.1个等级。"));
    row("GroupBox4", QRect(561, 1, 145, 46), QStringLiteral("暂停播放切换键"));
    row("RadioButton1", QRect(16, 19, 65, 17), QStringLiteral("空格键"));
    row("RadioButton2", QRect(80, 19, 57, 17), QStringLiteral("回车键"));
    row("GroupBox2", QRect(706, 1, 121, 46), QStringLiteral("用时间定位语音"));
    row("Edit3", QRect(8, 16, 64, 24), QStringLiteral("00:00:00"),
        QStringLiteral("只能输入形如 01:23:54这种格式的时间"));
    row("Label9", QRect(79, 22, 40, 16), QStringLiteral("确定"),
        QStringLiteral("在这里输入标准的时间如 01:21:09(指1小时21分9秒)点击确定后会自动跳到指定时间并播放。"));
    row("GroupBox1", QRect(827, 1, 154, 46), QStringLiteral("内容文字搜索查询"));
    row("Edit4", QRect(5, 17, 93, 21));
    row("Label2", QRect(104, 11, 46, 13), QStringLiteral("第一个"));
    row("Label4", QRect(104, 27, 46, 13), QStringLiteral("下一个"));
    row("PlayerControls1", QRect(1, 1, 980, 60));
    row("Panel4", QRect(592, 1, 527, 14));
    row("Label1", QRect(251, 0, 60, 16), QStringLiteral("00:00:00"), QStringLiteral("当前播放进度"));
    row("Label19", QRect(307, -1, 8, 13), QStringLiteral("/"));
    row("Label6", QRect(317, 0, 56, 16), QStringLiteral("00:00:00"), QStringLiteral("语音文件总时长"));
}

void MainWindowLayoutTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    WindowUnderTest window;
    QVERIFY(window.show());
    auto* control = window->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), geometry);
    QString shown;
    if (auto* label = qobject_cast<QLabel*>(control))
        shown = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        shown = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        shown = group->title();
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        shown = edit->text();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
        shown = spin->text();
    QCOMPARE(shown, caption);
    QCOMPARE(control->toolTip(), hint);
}

void MainWindowLayoutTest::menuBar_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent"); // the drop-down menu it stands in; empty: the bar
    QTest::addColumn<QString>("caption");
    // clang-format off
    QTest::newRow("N8") << "N8" << "" << " 加载音视频 ";
    QTest::newRow("N9") << "N9" << "" << " 加载文稿 ";
    QTest::newRow("N1") << "N1" << "" << "  ";
    QTest::newRow("N17") << "N17" << "" << "  字数统计 ";
    QTest::newRow("N18") << "N18" << "" << "  全选复制  ";
    QTest::newRow("N2") << "N2" << "" << "  设置  ";
    QTest::newRow("N7") << "N7" << "  设置  " << "前进后退步进时长";
    QTest::newRow("N12") << "N12" << "  设置  " << "字号";
    QTest::newRow("N13") << "N13" << "字号" << "大";
    QTest::newRow("N15") << "N15" << "字号" << "中";
    QTest::newRow("N16") << "N16" << "字号" << "小";
    QTest::newRow("N10") << "N10" << "字号" << "极小";
    QTest::newRow("N6") << "N6" << "" << QString(40, u' ');
    QTest::newRow("N19") << "N19" << "" << "  ";
    QTest::newRow("N20") << "N20" << "" << "录音整理服务";
    QTest::newRow("draftAction") << "draftAction" << "" << " 自动初稿 ";
    QTest::newRow("exportAction") << "exportAction" << "" << "导出…";
    QTest::newRow("videoWindowAction") << "videoWindowAction" << " 视频 " << "显示/隐藏视频窗口 Ctrl+Shift+V";
    QTest::newRow("videoOnTopAction") << "videoOnTopAction" << " 视频 " << "视频窗口总在最前";
    QTest::newRow("draftOptionsAction") << "draftOptionsAction" << "  设置  " << "自动初稿设置";
    QTest::newRow("speakersAction") << "speakersAction" << "  设置  " << "说话人设置";
    QTest::newRow("phrasesAction") << "phrasesAction" << "  设置  " << "短语和缩写设置";
    // clang-format on
}

void MainWindowLayoutTest::menuBar()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QString, caption);
    WindowUnderTest window;
    const QList<QAction*> bar = window->menuBar()->actions();
    QStringList order;
    for (QAction* item : bar)
        order.append(item->objectName());
    QCOMPARE(order,
             (QStringList{QStringLiteral("N8"), QStringLiteral("N9"), QStringLiteral("N1"), QStringLiteral("N17"),
                          QStringLiteral("N18"), QStringLiteral("N2"), QStringLiteral("N6"), QStringLiteral("N19"),
                          QStringLiteral("N20"), QStringLiteral("draftAction"), QStringLiteral("exportAction"),
                          QStringLiteral("videoMenu")}));
    auto* item = window->findChild<QAction*>(name);
    QVERIFY(item);
    QCOMPARE(item->text(), caption);
    QVERIFY(item->shortcut().isEmpty());
    if (parent.isEmpty()) {
        QVERIFY(bar.contains(item));
        return;
    }
    const auto menus = window->findChildren<QMenu*>();
    const auto owner = std::find_if(menus.begin(), menus.end(), [&](QMenu* menu) { return menu->title() == parent; });
    QVERIFY(owner != menus.end());
    QVERIFY((*owner)->actions().contains(item));
}

void MainWindowLayoutTest::tabOrder()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    QTRY_COMPARE(QApplication::focusWidget(), window.ui->Memo1);
    const QList<QWidget*> expected = {window.ui->BitBtn7,    window.ui->BitBtn2,      window.ui->Edit4,
                                      window.ui->Edit3,      window.ui->RadioButton1, window.ui->BitBtn1,
                                      window.ui->RzSpinEdit1};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next->objectName());
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(window.ui->PlayerControls1->isAncestorOf(QApplication::focusWidget()));
    // With the other radio button selected, Tab stops at that one instead.
    window.ui->RadioButton2->setChecked(true);
    window.ui->Edit3->setFocus();
    QTest::keyClick(window.ui->Edit3, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.ui->RadioButton2);
    QCOMPARE(window.ui->BitBtn4->focusPolicy() & Qt::TabFocus, 0);
    QCOMPARE(window.ui->BitBtn10->focusPolicy() & Qt::TabFocus, 0);
}

namespace {

bool holdsChinese(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Han; });
}

// What a screen reader says for every control the focus can reach.
QStringList unnamedControls(QWidget* top)
{
    QStringList unnamed;
    for (QWidget* widget : top->findChildren<QWidget*>()) {
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(top) || !widget->isEnabled())
            continue;
        if (widget->focusProxy())
            continue; // the spin box's line edit: the box takes its focus and speaks for it
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
        const QString name = spoken ? spoken->text(QAccessible::Name) : QString();
        if (!holdsChinese(name) || name == widget->objectName())
            unnamed.append(
                QStringLiteral("%1 (%2): \"%3\"")
                    .arg(widget->objectName(), QString::fromLatin1(widget->metaObject()->className()), name));
    }
    return unnamed;
}

} // namespace

void MainWindowLayoutTest::everyControlIsNamedInChinese()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    QCOMPARE(unnamedControls(window.operator->()).join(u';'), QString());
    const std::pair<QWidget*, const char*> inputs[] = {
        {window.ui->Memo1, "文稿听打整理区"},
        {window.ui->Edit3, "用时间定位语音"},
        {window.ui->Edit4, "内容文字搜索查询"},
        {window.ui->RzSpinEdit1, "播放速度"},
    };
    for (const auto& [input, spoken] : inputs)
        QCOMPARE(QAccessible::queryAccessibleInterface(input)->text(QAccessible::Name), QString::fromUtf8(spoken));
    QVERIFY(!QAccessible::queryAccessibleInterface(window.ui->Edit4)->text(QAccessible::Description).isEmpty());
    window.ui->Form3->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.ui->Form3));
    QCOMPARE(unnamedControls(window.ui->Form3).join(u';'), QString());
    window.ui->Form3->hide();
}

void MainWindowLayoutTest::startState()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    QTRY_COMPARE(QApplication::focusWidget(), window.ui->Memo1);
    QCOMPARE(window.ui->Memo1->blockCount(), 1);
    QCOMPARE(window.ui->Memo1->toPlainText(), QString());
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("播     放"));
    QCOMPARE(window.ui->RzSpinEdit1->value(), 1.0);
    QVERIFY(window.ui->RadioButton1->isChecked());
    QVERIFY(!window.ui->RadioButton2->isChecked());
    QVERIFY(window.ui->Label17->isHidden());
    QVERIFY(!window.ui->Timer1->isActive());
    QCOMPARE(window.ui->Timer1->interval(), 1000);
    QVERIFY(window.ui->Timer2->isActive());
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), QString());
    QCOMPARE(window.ui->WindowsMediaPlayer1->volume(), 50);
    QCOMPARE(window.ui->Panel4->palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(window.ui->Panel4->autoFillBackground());
}

void MainWindowLayoutTest::editorTakesNoTabAndOpensNoContextMenu()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    QTest::keyClicks(window.ui->Memo1, QStringLiteral("ab"));
    QTest::keyClick(window.ui->Memo1, Qt::Key_Tab);
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("ab"));
    QCOMPARE(QApplication::focusWidget(), window.ui->BitBtn7);
    QCOMPARE(window.ui->Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(window.ui->Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    const QPoint middle = window.ui->Memo1->viewport()->rect().center();
    for (const auto reason : {QContextMenuEvent::Mouse, QContextMenuEvent::Keyboard}) {
        QContextMenuEvent request(reason, middle, window.ui->Memo1->viewport()->mapToGlobal(middle));
        QApplication::sendEvent(window.ui->Memo1->viewport(), &request);
        QVERIFY(request.isAccepted());
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }
}

void MainWindowLayoutTest::rateBoxOnlySteps_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<double>("value");
    // clang-format off
    QTest::newRow("typing a digit") << QList<int>{Qt::Key_5} << 1.0;
    QTest::newRow("clearing") << QList<int>{Qt::Key_Backspace, Qt::Key_Delete} << 1.0;
    QTest::newRow("up") << QList<int>{Qt::Key_Up} << 1.1;
    QTest::newRow("down") << QList<int>{Qt::Key_Down} << 0.9;
    QTest::newRow("page up to the top") << QList<int>{Qt::Key_PageUp} << 2.0;
    QTest::newRow("page down to the bottom") << QList<int>{Qt::Key_PageDown} << 0.1;
    QTest::newRow("past the top") << QList<int>{Qt::Key_PageUp, Qt::Key_Up} << 2.0;
    QTest::newRow("past the bottom") << QList<int>{Qt::Key_PageDown, Qt::Key_Down} << 0.1;
    QTest::newRow("ten steps up") << QList<int>(10, Qt::Key_Up) << 2.0;
    // clang-format on
}

void MainWindowLayoutTest::rateBoxOnlySteps()
{
    QFETCH(QList<int>, keys);
    QFETCH(double, value);
    WindowUnderTest window;
    QVERIFY(window.show());
    RateSpinBox* rate = window.ui->RzSpinEdit1;
    rate->setFocus();
    for (int key : keys)
        QTest::keyClick(rate, Qt::Key(key));
    QCOMPARE(rate->value(), value); // exactly: the box holds whole tenths
    QCOMPARE(rate->text(), QString::number(value, 'f', 1));
}

void MainWindowLayoutTest::timeBoxTakesEightCharacters()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    TimeBox* box = window.ui->Edit3;
    box->clear();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("01:23:54:99"));
    QCOMPARE(box->text(), QStringLiteral("01:23:54"));
    // Typing over a selection replaces it within the limit.
    box->setSelection(0, 2);
    QTest::keyClicks(box, QStringLiteral("12"));
    QCOMPARE(box->text(), QStringLiteral("12:23:54"));
    // A paste is cut to what still fits.
    QGuiApplication::clipboard()->setText(QStringLiteral("abcdefghij"));
    box->setSelection(6, 2);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("12:23:ab"));
    // Text the program puts there is kept whole, and editing it stays possible.
    box->setText(QStringLiteral("-00:12:34- and more"));
    QCOMPARE(box->text(), QStringLiteral("-00:12:34- and more"));
    box->end(false);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("-00:12:34- and mor"));
    QTest::keyClick(box, Qt::Key_X);
    QCOMPARE(box->text(), QStringLiteral("-00:12:34- and mor"));
}

QTEST_MAIN(MainWindowLayoutTest)
#include "main_window_layout_test.moc"
