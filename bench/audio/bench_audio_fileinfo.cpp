// Reads the file information (ID3v1 tag and length) of every file given, once to warm
// the cache and then timed, on one thread, and prints the cost per file: the CPU time
// (what the work costs) and the wall time (which a busy machine stretches).
//   bench_audio_fileinfo FILE...
#include "audio/FileInfoReader.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QStringList paths;
    for (int i = 1; i < argc; ++i)
        paths.append(QString::fromLocal8Bit(argv[i]));
    if (paths.isEmpty()) {
        std::fprintf(stderr, "usage: bench_audio_fileinfo FILE...\n");
        return 2;
    }
    long long seconds = 0;
    for (const QString& path : paths)
        seconds += pelto::readFileInfo(path).TotalSec;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadCpuSeconds();
    for (const QString& path : paths)
        seconds -= pelto::readFileInfo(path).TotalSec;
    const double cpu = threadCpuSeconds() - cpuStart;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double files = double(paths.size());
    std::printf("file information: %.0f files, CPU %.1f us per file (%.0f files per second), "
                "wall %.1f us per file%s\n",
                files, 1e6 * cpu / files, files / cpu, 1e6 * elapsed / files,
                seconds == 0 ? "" : " (lengths differ!)");
    return 0;
}
