#pragma once

#include <QString>
#include <QStringList>

namespace tavrin::test {

// Recordings made with the ffmpeg command-line tool for the envelope's tests.
// Each gives an empty path when ffmpeg fails, with its message in the test log.

// The tone recordings' layout: silence, a 1 kHz tone at half of full scale from
// kToneStart to kToneEnd seconds (values 6000 up to 6099), silence to kLength.
inline constexpr double kToneStart = 60.0;
inline constexpr double kToneEnd = 61.0;
inline constexpr double kToneLength = 63.0;

// How the recording is encoded: the ffmpeg options after the input, and the file's suffix.
struct Encoding {
    QStringList options;
    QString suffix;
};

// Writes the tone recording at `rate` with `channels` (in stereo the tone is in
// the left channel alone) in `encoding`; with `withVideo`, a small black video
// stream comes first in the file.
QString writeToneRecording(const QString& folder, int rate, int channels, const Encoding& encoding,
                           bool withVideo = false);

// A long silent MP3 (8 kHz mono at 8 kb/s): one encoded minute repeated, quick to make.
QString writeLongSilence(const QString& folder, int minutes);

} // namespace tavrin::test
