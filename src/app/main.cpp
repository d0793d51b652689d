#include "app/app_style.h"
#include "app/first_paint.h"
#include "app/main_window.h"
#include "app/memory_tuning.h"
#include "app/qt_desktop.h"
#include "files/user_folders.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace tavrin;

int main(int argc, char* argv[])
{
    returnLargeBuffersToTheSystem();
    QApplication application(argc, argv);
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
    environment.programFolder = QCoreApplication::applicationDirPath();
    environment.stateFolder = stateFolder();
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
