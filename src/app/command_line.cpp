#include "app/command_line.h"

#include "files/path_bytes.h"

#include <QDir>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

QString absolutePath(const QString& argument, const QString& workingFolder)
{
    // An address's percent-encoded bytes are kept as they are, as a name that is not UTF-8 is.
    const QString path =
        argument.startsWith(u"file://"_s, Qt::CaseInsensitive) ? pathFromUrl(QUrl(argument)) : argument;
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
}

// The toolkit's own options (Qt's, with one dash or two), which Qt takes for itself once
// the window's application starts: those that are followed by a value, and those that
// stand alone. They are passed over here, so that the line is judged before anything
// needs a display.
bool isToolkitOption(const QString& argument, bool* takesValue)
{
    static const QStringList withValue{u"platform"_s,
                                       u"platformpluginpath"_s,
                                       u"platformtheme"_s,
                                       u"plugin"_s,
                                       u"qwindowgeometry"_s,
                                       u"qwindowicon"_s,
                                       u"qwindowtitle"_s,
                                       u"session"_s,
                                       u"display"_s,
                                       u"geometry"_s,
                                       u"title"_s,
                                       u"icon"_s,
                                       u"name"_s,
                                       u"style"_s,
                                       u"stylesheet"_s};
    static const QStringList alone{u"reverse"_s, u"testability"_s, u"nograb"_s,
                                   u"dograb"_s,  u"sync"_s,        u"widgetcount"_s};
    static const QStringList withEquals{u"qmljsdebugger="_s, u"style="_s, u"stylesheet="_s, u"dialogs="_s};
    if (!argument.startsWith(u'-') || argument == u"--"_s)
        return false;
    const QString name = argument.mid(argument.startsWith(u"--"_s) ? 2 : 1);
    *takesValue = withValue.contains(name);
    return *takesValue || alone.contains(name)
        || std::any_of(withEquals.begin(), withEquals.end(), [&](const QString& p) { return name.startsWith(p); });
}

QStringList withoutToolkitOptions(const QStringList& arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool takesValue = false;
        if (arguments[i] == u"--"_s) {
            kept += arguments.mid(i);
            break;
        }
        if (isToolkitOption(arguments[i], &takesValue))
            i += takesValue ? 1 : 0;
        else
            kept.append(arguments[i]);
    }
    return kept;
}

CommandLine answer(CommandLine::Action action, const QString& problem = QString())
{
    CommandLine line;
    line.action = action;
    line.problem = problem;
    return line;
}

CommandLine refuse(const QString& problem)
{
    return answer(CommandLine::Action::Refuse, problem);
}

// What follows --export: FORMAT TRANSCRIPT [OUTPUT], and --force anywhere.
CommandLine parseExport(const QStringList& arguments, const QString& workingFolder)
{
    CommandLine line;
    line.action = CommandLine::Action::Export;
    QStringList given;
    for (const QString& argument : arguments) {
        if (argument == u"--force"_s)
            line.force = true;
        else if (argument.startsWith(u"--"_s))
            return refuse(u"未知的选项：%1"_s.arg(argument));
        else
            given.append(argument);
    }
    if (given.size() < 2 || given.size() > 3)
        return refuse(u"--export 需要格式和文稿文件，可再给出输出文件：--export 格式 文稿 [输出文件]"_s);
    const std::optional<ExportFormat> format = exportFormatNamed(given[0]);
    if (!format)
        return refuse(u"不认识的导出格式：%1。可用的格式：srt、vtt、docx、odt、csv、txt"_s.arg(given[0]));
    if (given[1].isEmpty() || given.value(2, u"-"_s).isEmpty())
        return refuse(u"文件名不能为空"_s);
    line.exportFormat = *format;
    line.transcript = absolutePath(given[1], workingFolder);
    line.outputGiven = given.size() == 3;
    line.output =
        line.outputGiven ? absolutePath(given[2], workingFolder) : defaultExportPath(line.transcript, *format);
    return line;
}

} // namespace

CommandLine parseCommandLine(const QStringList& allArguments, const QString& workingFolder)
{
    const QStringList arguments = withoutToolkitOptions(allArguments);
    // Asking for help or the version wins over anything else given with it.
    for (const QString& argument : arguments) {
        if (argument == u"--"_s)
            break;
        if (argument == u"--help"_s || argument == u"-h"_s)
            return answer(CommandLine::Action::ShowHelp);
        if (argument == u"--version"_s || argument == u"-v"_s)
            return answer(CommandLine::Action::ShowVersion);
    }
    if (!arguments.isEmpty() && arguments.first() == u"--export"_s)
        return parseExport(arguments.mid(1), workingFolder);
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
           "  -v, --version  显示版本 / show the version\n"
           "  --export 格式 文稿 [输出文件] [--force]\n"
           "                 不打开窗口，把文稿导出为 srt、vtt、docx、odt、csv 或 txt（UTF-8）；\n"
           "                 输出文件默认在文稿旁边；已有的输出文件只在给出 --force 时替换。\n"
           "                 Exports the transcript without a window; --force replaces an existing output.\n"_s;
}

} // namespace tavrin
