// Decodes a file through the engine's playback path (the decode thread into its ring,
// then render() with the gains) into a null output as fast as it goes, and prints the
// throughput in times real time. The null output waits for the decode thread whenever
// the ring cannot fill its next buffer, as a device would wait for its clock.
//   bench_audio_decode FILE [REPEATS]
#include "audio/Decoder.h"
#include "audio/PcmSource.h"
#include "audio/PlaybackCore.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
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
        while (core.state(position) == pelto::PlayState::Playing) {
            if (!core.hasDecoded(frames))
                core.waitForDecoder();
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

    // What a seek costs the decode thread before it has the target's first frame: the
    // slowest of a series of jumps back and forth, right after opening (nothing indexed yet: the
    // first seek forward has the index built at once and waits for it) and three seconds later
    // (when the index, built in the background two seconds into a song, is there).
    for (int waitMs : {0, 3000}) {
        pelto::PcmSource source;
        const auto openStart = std::chrono::steady_clock::now();
        if (repeats < 2 || !source.open(QString::fromLocal8Bit(argv[1])))
            break;
        const double openMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - openStart)
                .count();
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        double slowest = 0;
        for (int second : {170, 10, 90, 150, 30, 120, 60, 175, 0}) {
            const auto start = std::chrono::steady_clock::now();
            source.seekSeconds(second);
            float frame[2 * 1152];
            source.read(frame, 1152);
            slowest = std::max(slowest, std::chrono::duration<double, std::milli>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());
        }
        std::printf("engine: open for playing %.2f ms; slowest seek %d ms after opening "
                    "(with the first frame after it) %.2f ms\n",
                    openMs, waitMs, slowest);
    }
    return 0;
}
