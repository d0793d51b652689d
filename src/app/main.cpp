#include "app/app_style.h"
#include "app/command_line.h"
#include "app/export_command.h"
#include "app/first_paint.h"
#include "app/main_window.h"
#include "app/memory_tuning.h"
#include "app/qt_desktop.h"
#include "desktop/fonts.h"
#include "files/path_bytes.h"
#include "files/user_folders.h"
#include "settings/settings_location.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unistd.h>

using namespace tavrin;

namespace {

// The arguments as given: a file name that is not UTF-8 (GBK) keeps its bytes, which
// Qt's own reading of the arguments would lose.
QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(decodePath(argv[i]));
    return arguments;
}

QString workingFolder()
{
    const std::unique_ptr<char, void (*)(void*)> folder(::getcwd(nullptr, 0), std::free);
    return folder ? decodePath(folder.get()) : QDir::currentPath();
}

// The line is judged, and help, the version, a refusal and an export answered on the
// terminal, before any window's application starts: none of them needs a display,
// and without one Qt's own start would end the program before a word was said.
std::optional<int> answerOnTheTerminal(const CommandLine& line, int argc, char* argv[])
{
    switch (line.action) {
    case CommandLine::Action::ShowHelp:
        std::fputs(commandLineHelp().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::ShowVersion:
        std::printf("tavrin %s\n", TAVRIN_VERSION);
        return 0;
    case CommandLine::Action::Refuse:
        std::fprintf(stderr, "tavrin: %s\n\n%s", line.problem.toLocal8Bit().constData(),
                     commandLineHelp().toLocal8Bit().constData());
        return 2;
    case CommandLine::Action::Export: {
        // Every format is written as plain text or XML: no fonts, no display.
        QCoreApplication application(argc, argv);
        return runExportCommand(line);
    }
    case CommandLine::Action::Run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLine line = parseCommandLine(argumentsOf(argc, argv), workingFolder());
    if (const std::optional<int> answered = answerOnTheTerminal(line, argc, argv))
        return *answered;
    returnLargeBuffersToTheSystem();
    FontConfigurationReader fontConfiguration; // while Qt connects to the display
    QApplication application(argc, argv);
    fontConfiguration.wait();
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
