#pragma once

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

namespace tavrin {

class LinkLabel;
class MediaPlayer;
class PlayerControls;
class RateSpinBox;
class TForm3;
class TimeBox;
class TranscriptEdit;

// The main window's controls and components, as the window layout names them.
// The window owns them all; they are filled in as it builds its layout.
struct MainWindowControls {
    QFrame* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label14 = nullptr;
    TranscriptEdit* Memo1 = nullptr;
    QFrame* Panel2 = nullptr;
    QFrame* Panel3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QLabel* Label17 = nullptr;
    QPushButton* BitBtn10 = nullptr;
    RateSpinBox* RzSpinEdit1 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TimeBox* Edit3 = nullptr;
    LinkLabel* Label9 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    LinkLabel* Label2 = nullptr;
    LinkLabel* Label4 = nullptr;
    QFrame* Panel6 = nullptr;
    PlayerControls* PlayerControls1 = nullptr; // the player's own control bar
    QFrame* Panel4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label6 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    MediaPlayer* WindowsMediaPlayer1 = nullptr;

    // The menu bar.
    QAction* N8 = nullptr;
    QAction* N9 = nullptr;
    QAction* N1 = nullptr;
    QAction* N17 = nullptr;
    QAction* N18 = nullptr;
    QAction* N2 = nullptr;
    QAction* N7 = nullptr;
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;
    QAction* N15 = nullptr;
    QAction* N16 = nullptr;
    QAction* N10 = nullptr;
    QAction* N6 = nullptr;
    QAction* N19 = nullptr;
    QAction* N20 = nullptr;
    QAction* playbackOptionsAction = nullptr; // 设置 → 播放选项
    QAction* pedalOptionsAction = nullptr;    // 设置 → 脚踏板设置
    QAction* draftAction = nullptr;           // 自动初稿
    QAction* exportAction = nullptr;          // 导出…
    QAction* videoWindowAction = nullptr;     // 视频 (last in the menu bar) → the video window shown or hidden
    QAction* videoOnTopAction = nullptr;      // 视频 → the video window above other windows
    QAction* draftOptionsAction = nullptr;    // 设置 → 自动初稿设置
    QAction* speakersAction = nullptr;        // 设置 → 说话人设置
    QAction* phrasesAction = nullptr;         // 设置 → 短语和缩写设置

    TForm3* Form3 = nullptr; // the step settings dialog, created hidden
};

} // namespace tavrin
