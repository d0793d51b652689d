#include "temp_folder.h"

#include <QFile>
#include <QtTest>

namespace tavrin::test {

TempFolder::TempFolder()
{
    if (!dir_.isValid())
        qFatal("cannot create a temporary folder");
}

QString TempFolder::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = filePath(name);
    writeAt(path, bytes);
    return path;
}

void TempFolder::writeAt(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray TempFolder::read(const QString& path, bool* exists)
{
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadOnly);
    if (exists)
        *exists = ok;
    return ok ? file.readAll() : QByteArray();
}

} // namespace tavrin::test
