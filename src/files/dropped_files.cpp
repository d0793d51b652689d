#include "files/dropped_files.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tavrin {

DroppedFile decideDrop(const QList<QUrl>& urls)
{
    using Kind = DroppedFile::Kind;
    if (urls.size() != 1)
        return {Kind::Refused, {}, u"一次只能拖入一个文件：一个录音，或者一个文稿。"_s};
    if (!urls.first().isLocalFile())
        return {Kind::Refused, {}, u"只能拖入本机上的文件。"_s};
    const QFileInfo file(urls.first().toLocalFile());
    if (!file.isFile() || !file.isReadable())
        return {Kind::Refused, {}, u"无法读取拖入的文件“%1”。"_s.arg(file.filePath())};
    const Kind kind = file.suffix().compare(u"txt"_s, Qt::CaseInsensitive) == 0 ? Kind::Transcript : Kind::Recording;
    return {kind, file.absoluteFilePath(), {}};
}

} // namespace tavrin
