#pragma once

// Wave files of known samples for tests, and the frames SDL's disk driver wrote when
// the program played them.
#include <QString>

#include <functional>
#include <vector>

namespace pelto::test {

// Writes a 16-bit PCM Wave file of `frames` frames whose every sample in frame i (all
// channels) is sampleOfFrame(i). False when the file cannot be written.
bool writeWave(const QString& path, int rate, int channels, qint64 frames,
               const std::function<qint16(qint64 frame)>& sampleOfFrame);

// Writes a 16-bit PCM Wave file of interleaved samples (channels per frame).
bool writeWaveSamples(const QString& path, int rate, int channels,
                      const std::vector<qint16>& samples);

// Writes a 16-bit PCM Wave file whose every sample in second k (all channels) is
// sampleOfSecond(k).
bool writeTestWave(const QString& path, int rate, int channels, int seconds,
                   const std::function<qint16(int second)>& sampleOfSecond);

// Writes seconds of silence as a 16-bit mono Wave file at 8000 Hz.
bool writeSilentWave(const QString& path, int seconds);

// Writes a 16-bit stereo Wave file of a square wave: every sample is +16384 or -16384,
// the sign turning every 40 frames.
bool writeSquareWave(const QString& path, int seconds, int rate = 8000);

// One frame of what SDL's disk driver wrote: the left and right samples as floats.
struct PlayedFrame {
    float left, right;
};

// The frames of the disk driver's output file from frame fromFrame on.
std::vector<PlayedFrame> framesOf(const QString& path, qint64 fromFrame = 0);

// How many frames the disk driver's output file holds.
qint64 frameCount(const QString& path);

} // namespace pelto::test
