#include "app/app_style.h"
#include "app/command_line.h"
#include "app/export_command.h"
#include "app/first_paint.h"
#include "app/main_window.h"
#include "app/memory_tuning.h"
#include "app/qt_desktop.h"
#include "desktop/fonts.h"
#include "files/user_folders.h"
#include "settings/settings_location.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <optional>

using namespace tavrin;

namespace {

// Help and the version are answered on the terminal before any window (or
// display) is needed.
std::optional<int> answerOnTheTerminal(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = parseCommandLine(arguments, QDir::currentPath());
    if (line.action == CommandLine::Action::ShowHelp) {
        std::fputs(commandLineHelp().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (line.action == CommandLine::Action::ShowVersion) {
        std::printf("tavrin %s\n", TAVRIN_VERSION);
        return 0;
    }
    if (line.action == CommandLine::Action::Export) {
        // Documents are laid out with fonts, which need Qt's GUI, but never a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(argc, argv);
        return runExportCommand(line);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const std::optional<int> answered = answerOnTheTerminal(argc, argv))
        return *answered;
    returnLargeBuffersToTheSystem();
    FontConfigurationReader fontConfiguration; // while Qt connects to the display
    QApplication application(argc, argv);
    fontConfiguration.wait();
    // What is left once Qt took its own options (-platform and the like).
    const CommandLine line = parseCommandLine(QCoreApplication::arguments().mid(1), QDir::currentPath());
    if (line.action == CommandLine::Action::Refuse) {
        std::fprintf(stderr, "tavrin: %s\n\n%s", line.problem.toLocal8Bit().constData(),
                     commandLineHelp().toLocal8Bit().constData());
        return 2;
    }
    // The window manager and the desktop entry know the program by this name;
    // the title users see is given to each window and box explicitly.
    QApplication::setApplicationName(QStringLiteral("tavrin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrin"));
    installAppStyle(application);
    // The interface speaks Chinese whatever the desktop's language, Qt's own
    // dialogs and buttons included (是/否 in the closing question).
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslations);

    QtDesktop desktop;
    TMainForm1::Environment environment;
    environment.desktop = &desktop;
    const SettingsPlace settings =
        chooseSettingsPlace(QCoreApplication::applicationDirPath(), configFolder(), isFolderWritable);
    environment.settingsFolder = settings.folder;
    environment.settingsSearched = settings.searched;
    environment.stateFolder = stateFolder();
    environment.recordingToOpen = line.recording;
    // Beside the program, installed or built.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    environment.draft = {programFolder.filePath(QStringLiteral("tavrin-draft")),
                         programFolder.filePath(QStringLiteral("speech-engine"))};
    environment.transcriptToOpen = line.transcript;
    // For automated runs: the libmpv audio outputs to try, and a socket on which
    // the player answers JSON IPC.
    environment.player.audioOutput = qEnvironmentVariable("TAVRIN_AUDIO_OUTPUT");
    environment.player.ipcServer = qEnvironmentVariable("TAVRIN_MPV_IPC");
    environment.requestTermination = [] {
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    };

    TMainForm1 MainForm1(environment);
    if (qEnvironmentVariableIsSet("TAVRIN_REPORT_FIRST_PAINT"))
        reportFirstPaint(&MainForm1);
    MainForm1.show();
    return application.exec();
}
