#pragma once

#include <QFile>

namespace tavrin::test {

// Resident set size of this process, in MiB (VmRSS), or 0 where it cannot be read.
inline double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0.0;
}

} // namespace tavrin::test
