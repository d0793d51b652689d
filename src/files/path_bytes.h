#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

namespace tavrin {

// File names on Linux are bytes, and not always UTF-8: names unpacked from a Windows
// zip archive are GBK bytes. Qt decodes every name as UTF-8 and turns what is not into
// U+FFFD, which names no file. So a path the program carries keeps each byte that is
// not part of valid UTF-8 as one code unit U+DC80..U+DCFF (a lone low surrogate, as
// Python's "surrogateescape" does), and every path that reaches the file system, a
// library or a child process goes through encodePath(), which gives the bytes back
// exactly. Such a path must not be given to Qt's file classes (QFile, QFileInfo,
// QDir's file system calls, QProcess), which would encode it as UTF-8.

// The bytes the file system knows `path` by.
QByteArray encodePath(const QString& path);
// A path's bytes as the program carries them: encodePath(decodePath(b)) == b for any b.
QString decodePath(QByteArrayView bytes);

// True when `path` carries bytes that are not UTF-8.
bool hasForeignBytes(const QString& path);

// The local path of a file:// address, its percent-encoded bytes kept as they are.
QString pathFromUrl(const QUrl& url);

// A path Qt's file dialog gave, where each byte it could not decode became U+FFFD: each
// part of it that holds U+FFFD is looked up in its folder among the names that Qt
// decodes to the same text, and taken when exactly one does. Otherwise, and for a path
// without U+FFFD, `path` as it is.
QString pathFromToolkit(const QString& path);

// A path as a child process's argument: the path itself, or, when it carries bytes
// that are not UTF-8 (which QProcess would spoil), a file:// address of its bytes.
// pathFromArgument() reads either back.
QString pathArgument(const QString& path);
QString pathFromArgument(QByteArrayView argument);

// A file's name (the last part of `path`) for the user to read: a name that is not
// UTF-8 read as GBK, the encoding such names come in (or, where it is not GBK
// either, each run of bytes that are not UTF-8).
QString displayName(const QString& path);

// The file system's answers, for paths carried as above.
bool pathExists(const QString& path); // anything but a link that leads nowhere
bool isRegularFile(const QString& path);
bool isFolder(const QString& path);

} // namespace tavrin
