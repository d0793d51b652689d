#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tavrin::test {

// A fresh folder for one test, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Writes bytes exactly as given and returns the file's full path.
    QString write(const QString& name, const QByteArray& bytes) const;
    // Writes bytes exactly as given to a full path.
    static void writeAt(const QString& path, const QByteArray& bytes);
    // Reads a whole file; an absent file gives an empty array and sets *exists to false.
    static QByteArray read(const QString& path, bool* exists = nullptr);

private:
    QTemporaryDir dir_;
};

} // namespace tavrin::test
