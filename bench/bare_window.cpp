// The references for start-up: a bare Qt main window of the same size, started
// the same way and reporting its first paint the same way; and, with
// --chinese-labels, the same window showing the Chinese captions the program
// shows at start (menu bar, labels, buttons, group titles, times) in the same
// fonts, so that it loads the same CJK faces and nothing else of ours.
#include "app/first_paint.h"
#include "desktop/fonts.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include <cstring>

namespace {

struct Caption {
    const char* text;
    int pixelSize;
    bool bold;
    bool underline;
};

// What the window shows at start, with the font each is drawn in.
constexpr Caption kCaptions[] = {
    {"文稿听打整理区：", 11, false, false},
    {"标注时间F8", 11, false, false},
    {"播     放", 11, false, false},
    {"复读后退F9", 11, false, false},
    {"前进F12", 11, false, false},
    {"保存文稿Ctrl+S", 11, false, false},
    {"1.0", 11, false, false},
    {"暂停播放切换键", 11, false, false},
    {"空格键", 11, false, false},
    {"回车键", 11, false, false},
    {"用时间定位语音", 11, false, false},
    {"00:00:00", 13, true, false},
    {"确定", 11, true, true},
    {"内容文字搜索查询", 11, false, false},
    {"第一个", 11, true, true},
    {"下一个", 11, true, true},
    {"00:00:00", 11, true, false},
    {"/", 11, true, false},
    {"00:00 / 00:00", 11, false, false},
};

constexpr const char* kMenuCaptions[] = {" 加载音视频 ", " 加载文稿 ", "  ",    "  字数统计 ",
                                         "  全选复制  ", "  设置  ",   "  ",    "录音整理服务",
                                         " 自动初稿 ",   "导出…",      " 视频 "};

QWidget* chineseLabels(QMainWindow& window)
{
    window.setFont(tavrin::interfaceFont());
    QMenuBar* bar = window.menuBar();
    bar->setNativeMenuBar(false);
    for (const char* caption : kMenuCaptions)
        bar->addAction(QString::fromUtf8(caption));
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    int index = 0;
    for (const Caption& caption : kCaptions) {
        auto* label = new QLabel(QString::fromUtf8(caption.text), page);
        QFont font = tavrin::interfaceFont(caption.pixelSize, caption.bold);
        font.setUnderline(caption.underline);
        label->setFont(font);
        grid->addWidget(label, index / 5, index % 5);
        ++index;
    }
    return page;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setFixedSize(992, 658);
    if (argc > 1 && std::strcmp(argv[1], "--chinese-labels") == 0)
        window.setCentralWidget(chineseLabels(window));
    tavrin::reportFirstPaint(&window);
    window.show();
    return application.exec();
}
