#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tavrin {

// The bytes the file system knows a path by.
inline QByteArray encodePath(const QString& path)
{
    return QFile::encodeName(path);
}

} // namespace tavrin
