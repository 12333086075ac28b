// Plays a file through the engine for a while, polling its state every 100 ms as the
// player's timer does, and prints the CPU time used per second of playing (as a share
// of one core) and the peak resident memory. Then the engine idles, paused and then
// stopped, with nothing polling it: the CPU share and the wake-ups per second (the
// process's context switches) once the device has had time to go.
//   bench_audio_play FILE [SECONDS]
#include "audio/AudioEngine.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long contextSwitches() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

void runEventLoopFor(QCoreApplication& app, int ms) {
    QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    app.exec();
}

// Lets the engine settle in its present state, then measures it for a few seconds.
void measureIdle(QCoreApplication& app, const char* what) {
    runEventLoopFor(app, int(pelto::AudioEngine::kIdleDeviceLinger.count()) + 500);
    constexpr int ms = 3000;
    const double cpuBefore = cpuSeconds();
    const long switchesBefore = contextSwitches();
    runEventLoopFor(app, ms);
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("engine %s: CPU %.3f%% of one core, %.1f wake-ups/s\n", what,
                100.0 * cpu / (ms / 1000.0),
                double(contextSwitches() - switchesBefore) / (ms / 1000.0));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_audio_play FILE [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    pelto::AudioEngine engine;
    if (!engine.open(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    engine.setVolume(0x77707770u);
    const double cpuBefore = cpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    engine.play();
    int position = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const pelto::PlayState state = engine.state(position);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        if (state != pelto::PlayState::Playing || wall >= seconds)
            app.quit();
    });
    poll.start(100);
    app.exec();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    const double cpu = cpuSeconds() - cpuBefore;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("engine playing: %.1f s wall, heard %d s, CPU %.3f s = %.2f%% of one core, "
                "peak RSS %.1f MB\n",
                wall, position, cpu, 100.0 * cpu / wall, double(usage.ru_maxrss) / 1024.0);
    std::fflush(stdout);
    poll.stop();
    engine.pause();
    measureIdle(app, "paused ");
    engine.stop();
    measureIdle(app, "stopped");
    return 0;
}
