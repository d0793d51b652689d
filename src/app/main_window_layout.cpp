#include "app/main_window.h"

#include "app/input_method_switcher.h"
#include "app/link_label.h"
#include "desktop/app_texts.h"
#include "desktop/fonts.h"
#include "desktop/palette_colour.h"
#include "desktop/widget_placing.h"
#include "editor/transcript_edit.h"
#include "playback/player_controls.h"
#include "playback/rate_spin_box.h"
#include "playback/time_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

// Every position and size below is in pixels of the 992 x 635 client area.
namespace tavrin {

namespace {

constexpr int kClientWidth = 992;
constexpr int kClientHeight = 635;

QFrame* panel(QWidget* parent, const QString& name, const QRect& geometry, bool raised)
{
    auto* frame = place(new QFrame(parent), name, geometry);
    frame->setFrameShape(raised ? QFrame::Panel : QFrame::NoFrame);
    frame->setFrameShadow(QFrame::Raised);
    frame->setLineWidth(1);
    return frame;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry,
                    const QString& hint, bool tabStop = true)
{
    auto* pushButton = place(new QPushButton(caption, parent), name, geometry);
    pushButton->setToolTip(hint);
    pushButton->setAutoDefault(false);
    pushButton->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    return pushButton;
}

LinkLabel* link(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    return place(new LinkLabel(caption, parent), name, geometry);
}

QLabel* positionLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* text = label(parent, name, caption, geometry);
    text->setFont(interfaceFont(11, true));
    setColour(text, QPalette::WindowText, Qt::white);
    return text;
}

} // namespace

void TMainForm1::buildLayout()
{
    setWindowTitle(texts::kMainWindowCaption.toString());
    setFont(interfaceFont());
    // Single border with system menu and minimise box; no maximise, no sizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    PageControl1 = panel(nullptr, QStringLiteral("PageControl1"), QRect(0, 0, kClientWidth, kClientHeight), true);
    PageControl1->setFixedSize(kClientWidth, kClientHeight);
    PageControl1->setFocusPolicy(Qt::NoFocus);
    setCentralWidget(PageControl1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The page container's tab row is hidden: its one page fills it inside its border.
    TabSheet1 = place(new QWidget(PageControl1), QStringLiteral("TabSheet1"), QRect(4, 6, 984, 625));

    Panel1 = panel(TabSheet1, QStringLiteral("Panel1"), QRect(0, 0, 984, 25), false);
    Label14 = label(Panel1, QStringLiteral("Label14"), QStringLiteral("文稿听打整理区："), QRect(7, 3, 114, 13));

    Memo1 = place(new TranscriptEdit(TabSheet1), QStringLiteral("Memo1"), QRect(0, 25, 984, 488));
    // What a screen reader says: the purpose, in the words of the panel's own title.
    Memo1->setAccessibleName(QStringLiteral("文稿听打整理区"));
    Memo1->setAccessibleDescription(QStringLiteral("边听录音边打字；双击时间标记跳到那里播放"));
    Memo1->setFont(editorFont());

    Panel2 = panel(TabSheet1, QStringLiteral("Panel2"), QRect(0, 513, 984, 112), true);
    Panel3 = panel(Panel2, QStringLiteral("Panel3"), QRect(1, 1, 982, 48), false);
    Panel6 = panel(Panel2, QStringLiteral("Panel6"), QRect(1, 49, 982, 62), true);
    buildControlStrip();
    buildPlayerStrip();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    Timer2->start();

    // Tab order of the page; BitBtn4 and BitBtn10 are reached by mouse or by key only.
    QWidget* chain[] = {Memo1,        BitBtn7,      BitBtn2, Edit4,       Edit3,
                        RadioButton1, RadioButton2, BitBtn1, RzSpinEdit1, PlayerControls1};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    Memo1->setFocus();

    for (QObject* input : {static_cast<QObject*>(Memo1), static_cast<QObject*>(Edit3), static_cast<QObject*>(Edit4),
                           static_cast<QObject*>(RzSpinEdit1)})
        inputMethod_->watch(input);
}

void TMainForm1::buildControlStrip()
{
    BitBtn1 = button(Panel3, QStringLiteral("BitBtn1"), QStringLiteral("标注时间F8"), QRect(15, 13, 75, 25),
                     QStringLiteral("遇到听不清的地方，请按F8标注时间，便于以后校对。"));
    BitBtn4 = button(Panel3, QStringLiteral("BitBtn4"), QStringLiteral("播     放"), QRect(92, 12, 75, 26),
                     QStringLiteral("播放、暂停通过空格键或回车键一键控制"), false);
    BitBtn7 = button(Panel3, QStringLiteral("BitBtn7"), QStringLiteral("复读后退F9"), QRect(170, 12, 75, 26),
                     QStringLiteral("按一次复读指定时间 按多次则为快速倒退 编辑模式下的快捷键F9"));
    BitBtn2 = button(Panel3, QStringLiteral("BitBtn2"), QStringLiteral("前进F12"), QRect(248, 12, 75, 26),
                     QStringLiteral("编辑模式下 快进指定秒数"));
    Label17 = label(Panel3, QStringLiteral("Label17"), QString(), QRect(325, 19, 77, 20));
    Label17->setAlignment(Qt::AlignCenter);
    setColour(Label17, QPalette::WindowText, Qt::red);
    Label17->hide();
    BitBtn10 =
        button(Panel3, QStringLiteral("BitBtn10"), QStringLiteral("保存文稿Ctrl+S"), QRect(404, 13, 106, 25),
               QStringLiteral("注意：添加语音文件和输入标题后请点击“保存文档”，“保存文档”后方可进行内容编辑。"), false);
    RzSpinEdit1 = place(new RateSpinBox(Panel3), QStringLiteral("RzSpinEdit1"), QRect(512, 16, 45, 21));
    RzSpinEdit1->setAccessibleName(QStringLiteral("播放速度"));
    RzSpinEdit1->setToolTip(QStringLiteral("播放快慢倍率调节，鼠标在编辑框中激活的情况下按ctrl+上箭头 "
                                           "加快播放0.1个等级；ctrl+下箭头减慢播放0.1个等级。"));

    GroupBox4 = place(new QGroupBox(QStringLiteral("暂停播放切换键"), Panel3), QStringLiteral("GroupBox4"),
                      QRect(561, 1, 145, 46));
    RadioButton1 = place(new QRadioButton(QStringLiteral("空格键"), GroupBox4), QStringLiteral("RadioButton1"),
                         QRect(16, 19, 65, 17));
    RadioButton1->setChecked(true);
    RadioButton2 = place(new QRadioButton(QStringLiteral("回车键"), GroupBox4), QStringLiteral("RadioButton2"),
                         QRect(80, 19, 57, 17));
    // Tab stops at the selected radio button only; the arrow keys move between the two.
    auto tabToSelected = [this] {
        RadioButton1->setFocusPolicy(RadioButton1->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        RadioButton2->setFocusPolicy(RadioButton2->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    connect(RadioButton1, &QRadioButton::toggled, this, tabToSelected);
    tabToSelected();

    GroupBox2 = place(new QGroupBox(QStringLiteral("用时间定位语音"), Panel3), QStringLiteral("GroupBox2"),
                      QRect(706, 1, 121, 46));
    Edit3 = place(new TimeBox(QStringLiteral("00:00:00"), GroupBox2), QStringLiteral("Edit3"), QRect(8, 16, 64, 24));
    Edit3->setAccessibleName(QStringLiteral("用时间定位语音"));
    Edit3->setFont(interfaceFont(13, true));
    Edit3->setToolTip(QStringLiteral("只能输入形如 01:23:54这种格式的时间"));
    Label9 = link(GroupBox2, QStringLiteral("Label9"), QStringLiteral("确定"), QRect(79, 22, 40, 16));
    Label9->setToolTip(
        QStringLiteral("在这里输入标准的时间如 01:21:09(指1小时21分9秒)点击确定后会自动跳到指定时间并播放。"));

    GroupBox1 = place(new QGroupBox(QStringLiteral("内容文字搜索查询"), Panel3), QStringLiteral("GroupBox1"),
                      QRect(827, 1, 154, 46));
    Edit4 = place(new QLineEdit(GroupBox1), QStringLiteral("Edit4"), QRect(5, 17, 93, 21));
    Edit4->setAccessibleName(QStringLiteral("内容文字搜索查询"));
    Edit4->setAccessibleDescription(QStringLiteral("输入要在文稿中查找的文字，点第一个或下一个查找"));
    Label2 = link(GroupBox1, QStringLiteral("Label2"), QStringLiteral("第一个"), QRect(104, 11, 46, 13));
    Label4 = link(GroupBox1, QStringLiteral("Label4"), QStringLiteral("下一个"), QRect(104, 27, 46, 13));
}

void TMainForm1::buildPlayerStrip()
{
    PlayerControls1 = place(new PlayerControls(Panel6), QStringLiteral("PlayerControls1"), Panel6->contentsRect());

    // The position strip lies over the player's top edge; what passes the strip's
    // right edge is cut off.
    Panel4 = panel(Panel6, QStringLiteral("Panel4"), QRect(592, 1, 527, 14), false);
    Panel4->setAutoFillBackground(true);
    Panel4->raise();
    Label1 = positionLabel(Panel4, QStringLiteral("Label1"), QStringLiteral("00:00:00"), QRect(251, 0, 60, 16));
    Label1->setToolTip(QStringLiteral("当前播放进度"));
    Label19 = positionLabel(Panel4, QStringLiteral("Label19"), QStringLiteral("/"), QRect(307, -1, 8, 13));
    Label6 = positionLabel(Panel4, QStringLiteral("Label6"), QStringLiteral("00:00:00"), QRect(317, 0, 56, 16));
    Label6->setToolTip(QStringLiteral("语音文件总时长"));
}

void TMainForm1::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);
    // Items and drop-down menus alike are actions of their owner, named as in the layout.
    auto item = [](QWidget* owner, const QString& name, const QString& caption) {
        QAction* action = owner->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    auto menu = [](QWidget* owner, const QString& name, const QString& caption) {
        auto* dropDown = new QMenu(caption, owner);
        dropDown->setObjectName(name + QStringLiteral("Menu"));
        QAction* action = dropDown->menuAction();
        action->setObjectName(name);
        owner->addAction(action);
        return dropDown;
    };
    N8 = item(bar, QStringLiteral("N8"), QStringLiteral(" 加载音视频 "));
    N9 = item(bar, QStringLiteral("N9"), QStringLiteral(" 加载文稿 "));
    N1 = item(bar, QStringLiteral("N1"), QStringLiteral("  "));
    N17 = item(bar, QStringLiteral("N17"), QStringLiteral("  字数统计 "));
    N18 = item(bar, QStringLiteral("N18"), QStringLiteral("  全选复制  "));
    QMenu* settings = menu(bar, QStringLiteral("N2"), QStringLiteral("  设置  "));
    N2 = settings->menuAction();
    N7 = item(settings, QStringLiteral("N7"), QStringLiteral("前进后退步进时长"));
    playbackOptionsAction = item(settings, QStringLiteral("playbackOptionsAction"), QStringLiteral("播放选项"));
    pedalOptionsAction = item(settings, QStringLiteral("pedalOptionsAction"), QStringLiteral("脚踏板设置"));
    QMenu* sizes = menu(settings, QStringLiteral("N12"), QStringLiteral("字号"));
    N12 = sizes->menuAction();
    N13 = item(sizes, QStringLiteral("N13"), QStringLiteral("大"));
    N15 = item(sizes, QStringLiteral("N15"), QStringLiteral("中"));
    N16 = item(sizes, QStringLiteral("N16"), QStringLiteral("小"));
    N10 = item(sizes, QStringLiteral("N10"), QStringLiteral("极小"));
    N6 = item(bar, QStringLiteral("N6"), QString(40, u' '));
    N19 = item(bar, QStringLiteral("N19"), QStringLiteral("  "));
    N20 = item(bar, QStringLiteral("N20"), QStringLiteral("录音整理服务"));
}

} // namespace tavrin
