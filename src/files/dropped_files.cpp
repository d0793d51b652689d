#include "files/dropped_files.h"

#include "files/path_bytes.h"

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavrin {

DroppedFile decideDrop(const QList<QUrl>& urls)
{
    using Kind = DroppedFile::Kind;
    if (urls.size() != 1)
        return {Kind::Refused, {}, u"一次只能拖入一个文件：一个录音，或者一个文稿。"_s};
    if (!urls.first().isLocalFile())
        return {Kind::Refused, {}, u"只能拖入本机上的文件。"_s};
    // The address's bytes as they are: a name that is not UTF-8 (GBK) stays the file's.
    const QString path = pathFromUrl(urls.first());
    if (!isRegularFile(path) || ::access(encodePath(path).constData(), R_OK) != 0)
        return {Kind::Refused, {}, u"无法读取拖入的文件“%1”。"_s.arg(path)};
    const Kind kind = path.endsWith(u".txt"_s, Qt::CaseInsensitive) ? Kind::Transcript : Kind::Recording;
    return {kind, path, {}};
}

} // namespace tavrin
