#pragma once

#include <QString>

#include <functional>

// Writes a 16-bit PCM Wave file whose every sample in second k (all channels) is
// sampleOfSecond(k). False when the file cannot be written.
bool writeTestWave(const QString& path, int rate, int channels, int seconds,
                   const std::function<qint16(int second)>& sampleOfSecond);
