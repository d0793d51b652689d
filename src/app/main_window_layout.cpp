#include "app/main_window.h"

#include "app/input_method_switcher.h"
#include "app/link_label.h"
#include "controls/player_controls.h"
#include "controls/rate_spin_box.h"
#include "controls/time_box.h"
#include "desktop/app_texts.h"
#include "desktop/fonts.h"
#include "desktop/palette_colour.h"
#include "desktop/widget_placing.h"
#include "editor/transcript_edit.h"

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

    ui_.PageControl1 = panel(nullptr, QStringLiteral("PageControl1"), QRect(0, 0, kClientWidth, kClientHeight), true);
    ui_.PageControl1->setFixedSize(kClientWidth, kClientHeight);
    ui_.PageControl1->setFocusPolicy(Qt::NoFocus);
    setCentralWidget(ui_.PageControl1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The page container's tab row is hidden: its one page fills it inside its border.
    ui_.TabSheet1 = place(new QWidget(ui_.PageControl1), QStringLiteral("TabSheet1"), QRect(4, 6, 984, 625));

    ui_.Panel1 = panel(ui_.TabSheet1, QStringLiteral("Panel1"), QRect(0, 0, 984, 25), false);
    ui_.Label14 =
        label(ui_.Panel1, QStringLiteral("Label14"), QStringLiteral("文稿听打整理区："), QRect(7, 3, 114, 13));

    ui_.Memo1 = place(new TranscriptEdit(ui_.TabSheet1), QStringLiteral("Memo1"), QRect(0, 25, 984, 488));
    // What a screen reader says: the purpose, in the words of the panel's own title.
    ui_.Memo1->setAccessibleName(QStringLiteral("文稿听打整理区"));
    ui_.Memo1->setAccessibleDescription(QStringLiteral("边听录音边打字；双击时间标记跳到那里播放"));
    // Its own font comes once the window has first been painted (see TMainForm1's constructor).

    ui_.Panel2 = panel(ui_.TabSheet1, QStringLiteral("Panel2"), QRect(0, 513, 984, 112), true);
    ui_.Panel3 = panel(ui_.Panel2, QStringLiteral("Panel3"), QRect(1, 1, 982, 48), false);
    ui_.Panel6 = panel(ui_.Panel2, QStringLiteral("Panel6"), QRect(1, 49, 982, 62), true);
    buildControlStrip();
    buildPlayerStrip();

    ui_.Timer1 = new QTimer(this);
    ui_.Timer1->setObjectName(QStringLiteral("Timer1"));
    ui_.Timer1->setInterval(1000);
    ui_.Timer2 = new QTimer(this);
    ui_.Timer2->setObjectName(QStringLiteral("Timer2"));
    ui_.Timer2->setInterval(1000);
    ui_.Timer2->start();

    // Tab order of the page; ui_.BitBtn4 and ui_.BitBtn10 are reached by mouse or by key only.
    QWidget* chain[] = {ui_.Memo1,        ui_.BitBtn7,      ui_.BitBtn2, ui_.Edit4,       ui_.Edit3,
                        ui_.RadioButton1, ui_.RadioButton2, ui_.BitBtn1, ui_.RzSpinEdit1, ui_.PlayerControls1};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    ui_.Memo1->setFocus();

    for (QObject* input : {static_cast<QObject*>(ui_.Memo1), static_cast<QObject*>(ui_.Edit3),
                           static_cast<QObject*>(ui_.Edit4), static_cast<QObject*>(ui_.RzSpinEdit1)})
        inputMethod_->watch(input);
}

void TMainForm1::buildControlStrip()
{
    ui_.BitBtn1 = button(ui_.Panel3, QStringLiteral("BitBtn1"), QStringLiteral("标注时间F8"), QRect(15, 13, 75, 25),
                         QStringLiteral("遇到听不清的地方，请按F8标注时间，便于以后校对。"));
    ui_.BitBtn4 = button(ui_.Panel3, QStringLiteral("BitBtn4"), QStringLiteral("播     放"), QRect(92, 12, 75, 26),
                         QStringLiteral("播放、暂停通过空格键或回车键一键控制"), false);
    ui_.BitBtn7 = button(ui_.Panel3, QStringLiteral("BitBtn7"), QStringLiteral("复读后退F9"), QRect(170, 12, 75, 26),
                         QStringLiteral("按一次复读指定时间 按多次则为快速倒退 编辑模式下的快捷键F9"));
    ui_.BitBtn2 = button(ui_.Panel3, QStringLiteral("BitBtn2"), QStringLiteral("前进F12"), QRect(248, 12, 75, 26),
                         QStringLiteral("编辑模式下 快进指定秒数"));
    ui_.Label17 = label(ui_.Panel3, QStringLiteral("Label17"), QString(), QRect(325, 19, 77, 20));
    ui_.Label17->setAlignment(Qt::AlignCenter);
    setColour(ui_.Label17, QPalette::WindowText, Qt::red);
    ui_.Label17->hide();
    ui_.BitBtn10 =
        button(ui_.Panel3, QStringLiteral("BitBtn10"), QStringLiteral("保存文稿Ctrl+S"), QRect(404, 13, 106, 25),
               QStringLiteral("注意：添加语音文件和输入标题后请点击“保存文档”，“保存文档”后方可进行内容编辑。"), false);
    ui_.RzSpinEdit1 = place(new RateSpinBox(ui_.Panel3), QStringLiteral("RzSpinEdit1"), QRect(512, 16, 45, 21));
    ui_.RzSpinEdit1->setAccessibleName(QStringLiteral("播放速度"));
    ui_.RzSpinEdit1->setToolTip(QStringLiteral("播放快慢倍率调节，鼠标在编辑框中激活的情况下按ctrl+上箭头 "
                                               "加快播放0.1个等级；ctrl+下箭头减慢播放0.1个等级。"));

    ui_.GroupBox4 = place(new QGroupBox(QStringLiteral("暂停播放切换键"), ui_.Panel3), QStringLiteral("GroupBox4"),
                          QRect(561, 1, 145, 46));
    ui_.RadioButton1 = place(new QRadioButton(QStringLiteral("空格键"), ui_.GroupBox4), QStringLiteral("RadioButton1"),
                             QRect(16, 19, 65, 17));
    ui_.RadioButton1->setChecked(true);
    ui_.RadioButton2 = place(new QRadioButton(QStringLiteral("回车键"), ui_.GroupBox4), QStringLiteral("RadioButton2"),
                             QRect(80, 19, 57, 17));
    // Tab stops at the selected radio button only; the arrow keys move between the two.
    auto tabToSelected = [this] {
        ui_.RadioButton1->setFocusPolicy(ui_.RadioButton1->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        ui_.RadioButton2->setFocusPolicy(ui_.RadioButton2->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    connect(ui_.RadioButton1, &QRadioButton::toggled, this, tabToSelected);
    tabToSelected();

    ui_.GroupBox2 = place(new QGroupBox(QStringLiteral("用时间定位语音"), ui_.Panel3), QStringLiteral("GroupBox2"),
                          QRect(706, 1, 121, 46));
    ui_.Edit3 =
        place(new TimeBox(QStringLiteral("00:00:00"), ui_.GroupBox2), QStringLiteral("Edit3"), QRect(8, 16, 64, 24));
    ui_.Edit3->setAccessibleName(QStringLiteral("用时间定位语音"));
    ui_.Edit3->setFont(interfaceFont(13, true));
    ui_.Edit3->setToolTip(QStringLiteral("只能输入形如 01:23:54这种格式的时间"));
    ui_.Label9 = link(ui_.GroupBox2, QStringLiteral("Label9"), QStringLiteral("确定"), QRect(79, 22, 40, 16));
    ui_.Label9->setToolTip(
        QStringLiteral("在这里输入标准的时间如 01:21:09(指1小时21分9秒)点击确定后会自动跳到指定时间并播放。"));

    ui_.GroupBox1 = place(new QGroupBox(QStringLiteral("内容文字搜索查询"), ui_.Panel3), QStringLiteral("GroupBox1"),
                          QRect(827, 1, 154, 46));
    ui_.Edit4 = place(new QLineEdit(ui_.GroupBox1), QStringLiteral("Edit4"), QRect(5, 17, 93, 21));
    ui_.Edit4->setAccessibleName(QStringLiteral("内容文字搜索查询"));
    ui_.Edit4->setAccessibleDescription(QStringLiteral("输入要在文稿中查找的文字，点第一个或下一个查找"));
    ui_.Label2 = link(ui_.GroupBox1, QStringLiteral("Label2"), QStringLiteral("第一个"), QRect(104, 11, 46, 13));
    ui_.Label4 = link(ui_.GroupBox1, QStringLiteral("Label4"), QStringLiteral("下一个"), QRect(104, 27, 46, 13));
}

void TMainForm1::buildPlayerStrip()
{
    ui_.PlayerControls1 =
        place(new PlayerControls(ui_.Panel6), QStringLiteral("PlayerControls1"), ui_.Panel6->contentsRect());

    // The position strip lies over the player's top edge; what passes the strip's
    // right edge is cut off.
    ui_.Panel4 = panel(ui_.Panel6, QStringLiteral("Panel4"), QRect(592, 1, 527, 14), false);
    ui_.Panel4->setAutoFillBackground(true);
    ui_.Panel4->raise();
    ui_.Label1 = positionLabel(ui_.Panel4, QStringLiteral("Label1"), QStringLiteral("00:00:00"), QRect(251, 0, 60, 16));
    ui_.Label1->setToolTip(QStringLiteral("当前播放进度"));
    ui_.Label19 = positionLabel(ui_.Panel4, QStringLiteral("Label19"), QStringLiteral("/"), QRect(307, -1, 8, 13));
    ui_.Label6 = positionLabel(ui_.Panel4, QStringLiteral("Label6"), QStringLiteral("00:00:00"), QRect(317, 0, 56, 16));
    ui_.Label6->setToolTip(QStringLiteral("语音文件总时长"));
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
    ui_.N8 = item(bar, QStringLiteral("N8"), QStringLiteral(" 加载音视频 "));
    ui_.N9 = item(bar, QStringLiteral("N9"), QStringLiteral(" 加载文稿 "));
    ui_.N1 = item(bar, QStringLiteral("N1"), QStringLiteral("  "));
    ui_.N17 = item(bar, QStringLiteral("N17"), QStringLiteral("  字数统计 "));
    ui_.N18 = item(bar, QStringLiteral("N18"), QStringLiteral("  全选复制  "));
    QMenu* settings = menu(bar, QStringLiteral("N2"), QStringLiteral("  设置  "));
    ui_.N2 = settings->menuAction();
    ui_.N7 = item(settings, QStringLiteral("N7"), QStringLiteral("前进后退步进时长"));
    ui_.playbackOptionsAction = item(settings, QStringLiteral("playbackOptionsAction"), QStringLiteral("播放选项"));
    ui_.pedalOptionsAction = item(settings, QStringLiteral("pedalOptionsAction"), QStringLiteral("脚踏板设置"));
    ui_.draftOptionsAction = item(settings, QStringLiteral("draftOptionsAction"), QStringLiteral("自动初稿设置"));
    ui_.speakersAction = item(settings, QStringLiteral("speakersAction"), QStringLiteral("说话人设置"));
    ui_.phrasesAction = item(settings, QStringLiteral("phrasesAction"), QStringLiteral("短语和缩写设置"));
    QMenu* sizes = menu(settings, QStringLiteral("N12"), QStringLiteral("字号"));
    ui_.N12 = sizes->menuAction();
    ui_.N13 = item(sizes, QStringLiteral("N13"), QStringLiteral("大"));
    ui_.N15 = item(sizes, QStringLiteral("N15"), QStringLiteral("中"));
    ui_.N16 = item(sizes, QStringLiteral("N16"), QStringLiteral("小"));
    ui_.N10 = item(sizes, QStringLiteral("N10"), QStringLiteral("极小"));
    ui_.N6 = item(bar, QStringLiteral("N6"), QString(40, u' '));
    ui_.N19 = item(bar, QStringLiteral("N19"), QStringLiteral("  "));
    ui_.N20 = item(bar, QStringLiteral("N20"), QStringLiteral("录音整理服务"));
    ui_.draftAction = item(bar, QStringLiteral("draftAction"), QStringLiteral(" 自动初稿 "));
    ui_.exportAction = item(bar, QStringLiteral("exportAction"), QStringLiteral("导出…"));
    QMenu* video = menu(bar, QStringLiteral("videoMenu"), QStringLiteral(" 视频 "));
    ui_.videoWindowAction =
        item(video, QStringLiteral("videoWindowAction"), QStringLiteral("显示/隐藏视频窗口 Ctrl+Shift+V"));
    ui_.videoOnTopAction = item(video, QStringLiteral("videoOnTopAction"), QStringLiteral("视频窗口总在最前"));
    ui_.videoOnTopAction->setCheckable(true);
}

} // namespace tavrin
