// Seeks to random whole seconds of a long file through the engine's playback path (the
// decode thread seeks and decodes into its ring, render() hands the frames out), and
// prints the slowest and the median time from the seek until the first frame of the
// target is rendered; a device plays it within one buffer after that. Three series:
// the file's pages dropped from the page cache before it is opened (cold), dropped
// again before every seek (every read from the disk), and warm.
//   bench_audio_seek FILE [SEEKS]
#include "audio/PcmSource.h"
#include "audio/PlaybackCore.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Asks the system to forget the file's cached pages; no privileges needed.
void dropFromPageCache(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// Renders small buffers, as often as a busy device would ask, until one holds sound.
bool renderUntilSound(pelto::PlaybackCore& core) {
    constexpr int frames = 64;
    float buffer[2 * frames];
    const auto start = Clock::now();
    while (msSince(start) < 10000) {
        core.render(buffer, frames);
        if (std::any_of(buffer, buffer + 2 * frames, [](float s) { return s != 0.0f; }))
            return true;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return false;
}

enum class Cache { Cold, ColdEverySeek, Warm };

void series(const char* path, Cache cache, int seeks) {
    if (cache != Cache::Warm)
        dropFromPageCache(path);
    const auto openStart = Clock::now();
    auto source = std::make_unique<pelto::PcmSource>();
    if (!source->open(QString::fromLocal8Bit(path))) {
        std::fprintf(stderr, "cannot open %s\n", path);
        std::exit(1);
    }
    const double openMs = msSince(openStart);
    const int seconds = int(source->lengthFrames() / source->rate());
    pelto::PlaybackCore core;
    core.setSource(std::move(source));
    core.start();
    renderUntilSound(core);
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> anywhere(0, std::max(0, seconds - 2));
    std::vector<double> times;
    double first = 0;
    for (int i = 0; i < seeks; ++i) {
        // As a listener would: the song has played on a little since the last seek.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        if (cache == Cache::ColdEverySeek)
            dropFromPageCache(path);
        const auto start = Clock::now();
        core.seekSeconds(anywhere(random));
        if (!renderUntilSound(core)) {
            std::fprintf(stderr, "no sound after a seek\n");
            std::exit(1);
        }
        times.push_back(msSince(start));
        if (i == 0)
            first = times.back(); // the first seek forward waits for the frame index
    }
    std::sort(times.begin(), times.end());
    const char* name = cache == Cache::Cold            ? "cold at open"
                       : cache == Cache::ColdEverySeek ? "cold at every seek"
                                                       : "warm";
    std::printf("engine seek, %d s file, page cache %-18s: slowest %7.2f ms, median %6.2f ms "
                "(%d seeks, the first %.2f ms; open %.1f ms)\n",
                seconds, name, times.back(), times[times.size() / 2], seeks, first, openMs);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_audio_seek FILE [SEEKS]\n");
        return 2;
    }
    const int seeks = argc > 2 ? std::atoi(argv[2]) : 20;
    for (Cache cache : {Cache::Cold, Cache::ColdEverySeek, Cache::Warm})
        series(argv[1], cache, seeks);
    return 0;
}
