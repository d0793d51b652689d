#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace tavrin {

// What is checked of a model's files before the speech engine sees them: the
// engine ends its process on a tokens line it cannot read, blocks on a named pipe,
// and reads whatever size it is given.

// Protocol buffers, which ONNX files are, cannot be larger.
inline constexpr qint64 kLargestModelBytes = qint64(2) * 1024 * 1024 * 1024;
// The published models' tokens files hold at most some tens of thousands of short lines.
inline constexpr qint64 kLargestTokensBytes = qint64(16) * 1024 * 1024;

enum class Links {
    Refused,  // a file the user did not name: a link there is not followed
    Followed, // a file of the program's own folder
};

// Why the file at `path` cannot be an ONNX model, in Chinese, naming the file;
// empty when it can: a regular file, not empty, no larger than kLargestModelBytes,
// whose top level reads as an ONNX model's (well-formed fields, a graph among
// them, nothing after the last).
QString onnxModelProblem(const QString& path, Links links);

// Whether `bytes` read as an ONNX model's top level.
bool looksLikeOnnx(QByteArrayView bytes);

// Why the file at `path` cannot be a tokens file, in Chinese; empty when it can: a
// regular file (never a link), not empty, no larger than kLargestTokensBytes,
// UTF-8 text whose every line is "token id" or, for the blank token, "id" alone.
QString tokensFileProblem(const QString& path);
// The same of the file's bytes.
QString tokensTextProblem(QByteArrayView bytes);

} // namespace tavrin
