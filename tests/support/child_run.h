#pragma once

#include <QStringList>

namespace tavrin::test {

// A program run to its end with its output thrown away, as measured by the kernel.
struct ChildRun {
    bool succeeded = false; // started, and exited with 0
    double peakResidentMiB = 0;
};

ChildRun runToEnd(const QString& program, const QStringList& arguments);

} // namespace tavrin::test
