#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace tavrin::bench {

using Clock = std::chrono::steady_clock;

// A file of the built program's folder (bin/, beside the benchmarks' bench/).
inline QString programFile(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin")).filePath(name);
}

inline double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

inline double millisecondsOf(const std::function<void()>& action)
{
    const Clock::time_point start = Clock::now();
    action();
    return millisecondsBetween(start, Clock::now());
}

// Milliseconds from the start of `action` until `sender` emits `signal`, with the
// event loop running meanwhile; NaN when it does not come within ten seconds.
// `atSignal` runs within the signal, once the time is taken.
template <typename Sender, typename Signal>
double millisecondsUntil(Sender* sender, Signal signal, const std::function<void()>& action,
                         const std::function<void()>& atSignal = {})
{
    Clock::time_point done{};
    QEventLoop loop;
    const QMetaObject::Connection connection = QObject::connect(sender, signal, &loop, [&] {
        if (done == Clock::time_point{}) {
            done = Clock::now();
            if (atSignal)
                atSignal();
            loop.quit();
        }
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    const Clock::time_point start = Clock::now();
    action();
    if (done == Clock::time_point{})
        loop.exec();
    QObject::disconnect(connection);
    return done == Clock::time_point{} ? NAN : millisecondsBetween(start, done);
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

inline double percentile95(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(std::ceil(values.size() * 0.95)) - 1)];
}

// One figure, as a line of JSON for the script that prints the table.
inline void report(const char* figure, double value, const char* unit = "ms")
{
    std::printf("{\"figure\": \"%s\", \"value\": %.3f, \"unit\": \"%s\"}\n", figure, value, unit);
    std::fflush(stdout);
}

// Lets queued events and timers run for a while.
inline void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace tavrin::bench
