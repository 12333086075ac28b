// Extended tag reading on N small tagged files (default 10,000; copies of the test
// fixtures: ID3v2.2, 2.3 and 2.4 tags in Shift-JIS, UTF-16 and UTF-8, and RIFF SIF),
// with a warm cache. Prints microseconds per file for ReadExtTag on one thread and on
// all cores, beside a plain TagLib loop (MPEG::File, no audio properties, the same seven
// fields) over the same files, and the information lines formatted per second.
//   bench_taginfo [N]
#include "taginfo/CurrentSong.h"
#include "taginfo/ExtTagInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace pelto;

namespace {

template <typename Body> double microsecondsPerFile(const QStringList& files, Body body) {
    QElapsedTimer timer;
    timer.start();
    for (const QString& f : files)
        body(f);
    return double(timer.nsecsElapsed()) / 1000.0 / double(files.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    const QString fixtures = QStringLiteral(PELTO_SOURCE_DIR "/tests/taginfo/fixtures/");
    const QStringList kinds = {"lame_utf16.mp3", "id3v2_sjis.mp3",      "eyed3_utf8.mp3",
                               "v22.mp3",        "mutagen_utf16be.mp3", "riff_sif.rmp"};
    QTemporaryDir dir;
    QStringList files;
    for (int i = 0; i < n; ++i) {
        const QString kind = kinds[i % kinds.size()];
        const QString path = dir.filePath(QStringLiteral("%1_%2").arg(i).arg(kind));
        if (!QFile::copy(fixtures + kind, path)) {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(kind));
            return 1;
        }
        files.append(path);
    }

    int valid = 0;
    auto readExt = [&](const QString& f) {
        ExtTagInfo info;
        valid += ReadExtTag(info, f);
    };
    microsecondsPerFile(files, readExt); // warm the cache
    valid = 0;
    const double ours = microsecondsPerFile(files, readExt);

    // The same reads spread over every core, as the playlist does.
    const int threads = std::max(1, QThread::idealThreadCount());
    std::atomic<int> next = 0;
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (int i = next++; i < n; i = next++) {
                ExtTagInfo info;
                ReadExtTag(info, files[i]);
            }
        });
    for (std::thread& t : pool)
        t.join();
    const double parallel = double(timer.nsecsElapsed()) / 1000.0 / n;

    int tagged = 0;
    const double taglib = microsecondsPerFile(files, [&](const QString& f) {
        TagLib::MPEG::File file(QFile::encodeName(f).constData(), false);
        if (TagLib::ID3v2::Tag* tag = file.ID3v2Tag()) {
            const bool any = !tag->title().isEmpty() || !tag->artist().isEmpty() ||
                             !tag->album().isEmpty() || !tag->comment().isEmpty() ||
                             !tag->genre().isEmpty() || tag->year() || tag->track();
            tagged += any;
        }
    });

    CurrentSong song;
    song.id3.Title = QStringLiteral("Morning Song");
    song.id3.Album = QStringLiteral("First Album");
    song.id3.Comment = QStringLiteral("Demo");
    song.DmyFileName = QStringLiteral("/music/Morning Song.mp3");
    const QString formats[] = {"%1", "%2", "%4%-(%4,%-(%3, - ))%3", "%+(%a,%g) [%h]"};
    const int lines = 200000;
    qsizetype chars = 0;
    timer.restart();
    for (int i = 0; i < lines; ++i)
        chars += FormatTagInfo(formats[i % 4], song).size();
    const double linesPerSecond = lines / (double(timer.nsecsElapsed()) / 1e9);

    std::printf("files: %d (%d read as valid; TagLib found ID3v2 values in %d)\n", n, valid,
                tagged);
    std::printf("ReadExtTag, 1 thread:        %7.1f us/file  (%.0f files/s)\n", ours, 1e6 / ours);
    std::printf("ReadExtTag, %d threads:       %7.1f us/file  (%.0f files/s)\n", threads, parallel,
                1e6 / parallel);
    std::printf("TagLib MPEG::File, 1 thread: %7.1f us/file  (%.0f files/s)  [reference]\n", taglib,
                1e6 / taglib);
    std::printf("FormatTagInfo:               %7.0f lines/s (%lld characters)\n", linesPerSecond,
                static_cast<long long>(chars));
    return 0;
}
