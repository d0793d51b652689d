#include "workbench/export_controller.h"

#include "desktop/app_texts.h"
#include "desktop/command_runner.h"
#include "desktop/desktop.h"
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "export/transcript_export.h"
#include "files/atomic_file.h"
#include "files/path_bytes.h"
#include "files/transcript_file.h"
#include "player/media_player.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

constexpr ExportFormat kFormats[] = {ExportFormat::Word,   ExportFormat::OpenDocument, ExportFormat::SubRip,
                                     ExportFormat::WebVtt, ExportFormat::Table,        ExportFormat::PlainText};

QString filters()
{
    QStringList all;
    for (const ExportFormat format : kFormats)
        all.append(exportFormatFilter(format));
    return all.join(u";;"_s);
}

// "Word 文档 (*.docx)" gives ".docx".
QString extensionOf(ExportFormat format)
{
    const QString filter = exportFormatFilter(format);
    return filter.mid(filter.lastIndexOf(u"(*"_s) + 2).chopped(1);
}

} // namespace

ExportController::ExportController(const Widgets& widgets, MediaPlayer& player, Desktop& desktop)
    : widgets_(widgets)
    , player_(player)
    , desktop_(desktop)
{
}

QString ExportController::choosePath(int& format)
{
    const QString recording = player_.url();
    const QString transcript =
        recording.isEmpty() ? QDir::home().filePath(u"文稿.txt"_s) : transcriptPathFor(recording);
    QString chosenFilter;
    QString path = desktop_.chooseFileToSave(widgets_.owner, u"导出文稿"_s, defaultExportPath(transcript, kFormats[0]),
                                             filters(), &chosenFilter);
    // The extension typed says the format; without one, the filter chosen does, and gives its extension.
    format = -1;
    for (int i = 0; i < int(std::size(kFormats)); ++i) {
        if (path.endsWith(extensionOf(kFormats[i]), Qt::CaseInsensitive))
            format = i;
    }
    if (format >= 0 || path.isEmpty())
        return path;
    format = 0;
    for (int i = 0; i < int(std::size(kFormats)); ++i) {
        if (exportFormatFilter(kFormats[i]) == chosenFilter)
            format = i;
    }
    return path + extensionOf(kFormats[format]);
}

void ExportController::exportTranscript()
{
    int format = 0;
    const QString path = choosePath(format);
    widgets_.editor->setFocus();
    if (path.isEmpty())
        return;
    const QString recording = player_.url();
    if (!recording.isEmpty() && isSameFile(path, transcriptPathFor(recording))) {
        tell(u"%1 就是录音的文稿本身，导出不能替换它。请换一个文件名。"_s.arg(QDir::toNativeSeparators(path)));
        return;
    }
    // A link there counts too, even one that leads nowhere.
    if (nameIsTaken(path)
        && !desktop_.askYesNo(widgets_.owner, texts::kNoticeCaption.toString(),
                              u"%1 已经存在。要用导出的文稿替换它吗？"_s.arg(QDir::toNativeSeparators(path)),
                              BoxIcon::Question))
        return;
    const double length = recording.isEmpty() ? 0.0 : player_.duration();
    const ExportSource source{editorText(widgets_.editor), recording.isEmpty() ? u"文稿"_s : displayName(recording),
                              length > 0 ? std::optional<double>(length) : std::nullopt};
    try {
        // Picked in the dialog: the user named this path, a link there included.
        writeFileAtomically(path, exportBytes(kFormats[format], source), LinkRule::FollowNamed);
    } catch (const ExportRefused& refused) {
        tell(QString::fromUtf8(refused.what()));
        return;
    } catch (const LinkRefused& refused) {
        tell(u"%1\n\n没有导出。"_s.arg(QString::fromUtf8(refused.what())));
        return;
    } catch (const std::exception& failure) {
        tell(u"导出失败：%1"_s.arg(QString::fromUtf8(failure.what())));
        return;
    }
    tell(u"已导出到 %1"_s.arg(QDir::toNativeSeparators(path)));
}

void ExportController::tell(const QString& text)
{
    showPlainMessage(desktop_, widgets_.owner, text);
}

} // namespace tavrin
