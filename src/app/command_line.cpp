#include "app/command_line.h"

#include <QDir>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

QString absolutePath(const QString& argument, const QString& workingFolder)
{
    const QString path =
        argument.startsWith(u"file://"_s, Qt::CaseInsensitive) ? QUrl(argument).toLocalFile() : argument;
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
}

CommandLine refuse(const QString& problem)
{
    return {CommandLine::Action::Refuse, {}, {}, problem};
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QString& workingFolder)
{
    // Asking for help or the version wins over anything else given with it.
    for (const QString& argument : arguments) {
        if (argument == u"--"_s)
            break;
        if (argument == u"--help"_s || argument == u"-h"_s)
            return {CommandLine::Action::ShowHelp, {}, {}, {}};
        if (argument == u"--version"_s || argument == u"-v"_s)
            return {CommandLine::Action::ShowVersion, {}, {}, {}};
    }
    QStringList files;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == u"--"_s) {
            optionsEnded = true;
        } else if (!optionsEnded && argument.startsWith(u'-') && argument.size() > 1) {
            return refuse(u"未知的选项：%1"_s.arg(argument));
        } else if (argument.isEmpty()) {
            return refuse(u"文件名不能为空"_s);
        } else {
            files.append(absolutePath(argument, workingFolder));
        }
    }
    if (files.size() > 2)
        return refuse(u"最多只能给出两个文件：一个录音和一个文稿"_s);
    CommandLine line;
    if (files.size() == 2) {
        line.recording = files[0];
        line.transcript = files[1];
    } else if (files.size() == 1) {
        (files[0].endsWith(u".txt"_s, Qt::CaseInsensitive) ? line.transcript : line.recording) = files[0];
    }
    return line;
}

QString commandLineHelp()
{
    return u"用法：tavrin [选项] [录音文件] [文稿文件]\n"
           "Usage: tavrin [OPTION] [RECORDING] [TRANSCRIPT]\n"
           "\n"
           "打开录音（音频或视频）边听边整理文稿；文稿保存在录音旁边（<录音>.txt）。\n"
           "Opens a recording to transcribe; the transcript is saved beside it as <recording>.txt.\n"
           "单独给出的 .txt 文件作为文稿加载。 A .txt given alone is loaded as the transcript.\n"
           "\n"
           "  -h, --help     显示本帮助 / show this help\n"
           "  -v, --version  显示版本 / show the version\n"_s;
}

} // namespace tavrin
