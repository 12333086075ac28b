#pragma once

#include <QString>

#include <functional>
#include <vector>

// Writes a 16-bit PCM Wave file whose every sample in second k (all channels) is
// sampleOfSecond(k). False when the file cannot be written.
bool writeTestWave(const QString& path, int rate, int channels, int seconds,
                   const std::function<qint16(int second)>& sampleOfSecond);

// One frame of what SDL's disk driver wrote: the left and right samples as floats.
struct PlayedFrame {
    float left, right;
};

// The frames of the disk driver's output file from frame fromFrame on.
std::vector<PlayedFrame> framesOf(const QString& path, qint64 fromFrame = 0);

// How many frames the disk driver's output file holds.
qint64 frameCount(const QString& path);
