// Decodes a file through the engine's playback path (source, gains, render) into a
// null output as fast as it goes, and prints the throughput in times real time.
//   bench_audio_decode FILE [REPEATS]
#include "audio/Decoder.h"
#include "audio/PcmSource.h"
#include "audio/PlaybackCore.h"

#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_audio_decode FILE [REPEATS]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 1;
    double best = 0;
    double audioSeconds = 0;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        auto source = std::make_unique<pelto::PcmSource>();
        if (!source->open(QString::fromLocal8Bit(argv[1]))) {
            std::fprintf(stderr, "cannot open %s\n", argv[1]);
            return 1;
        }
        const int rate = source->rate();
        pelto::PlaybackCore core;
        core.setSource(std::move(source));
        core.setVolume(0x87778800u);
        core.start();
        constexpr int frames = 4096;
        std::vector<float> buffer(2 * frames);
        std::int64_t rendered = 0;
        int position = 0;
        while (core.state(position) == pelto::StatePlaying) {
            core.render(buffer.data(), frames);
            rendered += frames;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        audioSeconds = double(core.playedFrames()) / rate;
        const double speed = audioSeconds / seconds;
        if (speed > best)
            best = speed;
    }
    std::printf("engine: %.1f s of audio, best %.0f x real time\n", audioSeconds, best);
    return 0;
}
