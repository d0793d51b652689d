#include "speech/draft_problems.h"

#include "files/path_bytes.h"
#include "media/audio_input.h"
#include "speech/draft_progress.h"

#include <QDir>
#include <QFileInfo>

namespace tavrin {

namespace {

// A name that is not UTF-8 shown as the GBK it most likely is, not as unreadable bytes.
QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).path() + u'/' + displayName(path));
}

// Why sound at `rate` was not taken.
QString rateReason(int rate)
{
    return QStringLiteral("采样率是 %1 Hz，不在能识别语音的 %2 到 %3 Hz 之间")
        .arg(rate)
        .arg(kLowestSpeechRate)
        .arg(kHighestSpeechRate);
}

} // namespace

QString recordingProblem(const QString& path)
{
    if (!pathExists(path))
        return QStringLiteral("找不到录音：%1").arg(shown(path));
    if (!isRegularFile(path))
        return QStringLiteral("录音不是普通文件（可能是命名管道或设备），无法读取：%1").arg(shown(path));
    return {};
}

QString coverageProblem(const SpeechAudioOutcome& outcome, const QString& path)
{
    if (outcome.wholeCovered())
        return {};
    if (outcome.opened && outcome.samplesHandedOn == 0 && outcome.rateOutsideBounds != 0)
        return QStringLiteral("无法识别录音中的语音（%1）：录音的%2。")
            .arg(shown(path), rateReason(outcome.rateOutsideBounds));
    if (!outcome.opened || outcome.samplesHandedOn == 0)
        return QStringLiteral("无法读取录音中的声音：%1").arg(shown(path));
    const QString reason = outcome.rateOutsideBounds != 0 ? rateReason(outcome.rateOutsideBounds)
                                                          : QStringLiteral("声道或采样格式无法转换");
    return QStringLiteral("自动初稿没有覆盖整个录音：其中约 %1的声音%2，没有识别。已经生成的初稿保留在文稿中。")
        .arg(spokenDuration(outcome.missedSeconds), reason);
}

} // namespace tavrin
