#include "speech/draft_progress.h"

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

// Before this, the pace is too young to guess from.
constexpr double kGuessAfterSeconds = 2.0;

} // namespace

QString spokenDuration(double seconds)
{
    const auto whole = qint64(std::ceil(std::isfinite(seconds) ? std::clamp(seconds, 0.0, 1e15) : 0.0));
    if (whole < 60)
        return QStringLiteral("%1 秒").arg(whole);
    if (whole < 3600)
        return QStringLiteral("%1 分 %2 秒").arg(whole / 60).arg(whole % 60);
    return QStringLiteral("%1 小时 %2 分").arg(whole / 3600).arg(whole % 3600 / 60);
}

DraftProgress draftProgress(double doneSeconds, double totalSeconds, double elapsedSeconds)
{
    if (totalSeconds <= 0)
        return {0, QStringLiteral("已处理 %1 的录音").arg(spokenDuration(doneSeconds))};
    const double part = std::clamp(doneSeconds / totalSeconds, 0.0, 1.0);
    DraftProgress progress{int(std::floor(part * 1000)), QStringLiteral("已完成 %1%").arg(int(std::floor(part * 100)))};
    if (elapsedSeconds >= kGuessAfterSeconds && part > 0 && part < 1)
        progress.text += QStringLiteral("，约剩 %1").arg(spokenDuration(elapsedSeconds * (1 - part) / part));
    return progress;
}

} // namespace tavrin
