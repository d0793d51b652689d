#include "app/main_window.h"

#include "app/first_paint.h"
#include "app/input_method_switcher.h"
#include "controls/player_controls.h"
#include "desktop/app_texts.h"
#include "desktop/command_runner.h"
#include "desktop/desktop.h"
#include "desktop/fonts.h"
#include "desktop/palette_colour.h"
#include "dialogs/settings_dialog.h"
#include "editor/transcript_edit.h"
#include "settings/settings_location.h"
#include "workbench/workbench.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>

namespace tavrin {

namespace {
// The maker's service page, opened from the menu.
const char kServicePage[] = "https://tavrin.example.com/service";
} // namespace

TMainForm1::TMainForm1(const Environment& environment, QWidget* parent)
    : QMainWindow(parent)
    , environment_(environment)
{
    Q_ASSERT(environment_.desktop);
    setObjectName(QStringLiteral("MainForm1"));
    ui_.WindowsMediaPlayer1 = new MediaPlayer(environment_.player, this);
    ui_.WindowsMediaPlayer1->setObjectName(QStringLiteral("WindowsMediaPlayer1"));
    inputMethod_ = new InputMethodSwitcher(this);
    buildLayout();
    createWorkbench();
    buildMenu();
    connectHandlers();
    connectMenu();

    // Logging off ends the program without the closing question.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TMainForm1::endSession);

    FormCreate();
    // A recording given on the command line: the player starts while the window first paints.
    if (!environment_.recordingToOpen.isEmpty() && !ending_)
        ui_.WindowsMediaPlayer1->startInBackground();
    ui_.Form3 = new TForm3(this, *environment_.desktop, environment_.settingsFolder);
    // The dialog's boxes ask for the same input method as the window's inputs.
    for (QLineEdit* box : {ui_.Form3->Edit2, ui_.Form3->Edit3, ui_.Form3->Edit1})
        inputMethod_->watch(box);
    // The window's first sight need not wait for the editor's own face (a
    // second CJK font: the empty editor first shows exactly as it will with it),
    // nor for the session bus.
    whenFirstPainted(this, [this] {
        ui_.Memo1->setFont(editorFont());
        inputMethod_->arm();
        workbench_->startAfterFirstPaint(
            ending_ ? FilesToOpen{} : FilesToOpen{environment_.recordingToOpen, environment_.transcriptToOpen});
    });
    setAcceptDrops(true);
}

TMainForm1::~TMainForm1() = default;

void TMainForm1::runCommand(const std::function<void()>& command)
{
    tavrin::runCommand(*environment_.desktop, this, command);
}

void TMainForm1::showErrorBox(const QString& message)
{
    tavrin::showErrorBox(*environment_.desktop, this, message);
}

void TMainForm1::showPlainMessage(const QString& text)
{
    tavrin::showPlainMessage(*environment_.desktop, this, text);
}

void TMainForm1::FormCreate()
{
    if (!findSettingsFile(environment_.settingsFolder).isEmpty())
        return;
    // Installed, the settings may be in either of two places: both are named.
    QString message = texts::kSettingsFileMissing.toString();
    if (environment_.settingsSearched.size() > 1)
        message += QStringLiteral("\n\n已查找：\n%1").arg(environment_.settingsSearched.join(u'\n'));
    environment_.desktop->showMessage(this, texts::kNoticeCaption.toString(), message, BoxIcon::Information);
    // Start-up goes on; the program ends as soon as its event loop runs.
    ending_ = true;
    if (environment_.requestTermination)
        environment_.requestTermination();
}

void TMainForm1::FormShow()
{
    setColour(ui_.Panel4, QPalette::Window, Qt::black);
}

void TMainForm1::FormResize()
{
    setColour(ui_.Panel4, QPalette::Window, Qt::black);
    // The player's bar fills its strip: the window cannot be resized, and a bar
    // as wide as the window would push its volume control out of sight.
    ui_.PlayerControls1->setGeometry(ui_.Panel6->contentsRect());
}

bool TMainForm1::FormClose()
{
    if (ending_)
        return true;
    return environment_.desktop->askYesNo(this, texts::kNoticeCaption.toString(), texts::kCloseQuestion.toString(),
                                          BoxIcon::Question);
}

void TMainForm1::Timer2Timer()
{
    ui_.Label17->hide();
}

void TMainForm1::N20Click()
{
    // The result is not checked: a desktop without a browser simply shows nothing.
    environment_.desktop->openWebPage(QUrl(QString::fromLatin1(kServicePage)));
}

void TMainForm1::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centreOnScreen();
        centred_ = true;
    }
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm1::closeEvent(QCloseEvent* event)
{
    bool mayClose = true;
    runCommand([&] { mayClose = FormClose(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    event->accept();
    workbench_->close(); // unsaved text stays, offered at the next start
    ui_.Form3->close();
}

void TMainForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm1::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    openDropped(event->mimeData()->urls());
}

void TMainForm1::centreOnScreen()
{
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace tavrin
