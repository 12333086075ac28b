// Adding N tagged FLAC files (default 10,000) to the playlist, warm page cache: the
// files are made here from one FLAC that the flac encoder writes (a second of a tone,
// 44.1 kHz stereo), each with its own Vorbis comment (title "曲 i", artist
// "歌手 i % 97"). Prints rows added per second through the batch path
// (addPlayListItems) and one by one, the two reads a row takes (readFileInfo: the
// length; ReadExtTag: the Vorbis comment), and for reference over the same files a
// plain TagLib title/artist/length loop and `metaflac --show-tag` listing them. The
// MP3 figures of bench_playlist stand beside these in docs/PERFORMANCE.md.
//   bench_flac_adding [N] [FOLDER]     (FOLDER defaults to a temporary folder)
#include "audio/FileInfoReader.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistModel.h"
#include "taginfo/ExtTagInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utime.h>

using namespace pelto;

namespace {

double best(int runs, const std::function<void()>& f) {
    double b = 1e30;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        f();
        b = std::min(b, double(t.nsecsElapsed()) / 1e9);
    }
    return b;
}

void print(const char* what, int n, double seconds) {
    std::printf("  %-44s %8.1f ms  %9.0f files/s\n", what, seconds * 1e3, n / seconds);
}

QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char(v >> (8 * i));
    return b;
}

// A VORBIS_COMMENT metadata block (the last one) with these fields.
QByteArray commentBlock(const QList<QByteArray>& fields) {
    QByteArray body = le32(6) + "pelto!" + le32(quint32(fields.size()));
    for (const QByteArray& f : fields)
        body += le32(quint32(f.size())) + f;
    QByteArray header(4, '\0');
    header[0] = char(0x80 | 4);
    header[1] = char(body.size() >> 16);
    header[2] = char(body.size() >> 8);
    header[3] = char(body.size());
    return header + body;
}

// The template's STREAMINFO block and its audio frames, its other blocks dropped.
bool splitTemplate(const QByteArray& flac, QByteArray& streamInfo, QByteArray& frames) {
    if (!flac.startsWith("fLaC"))
        return false;
    qsizetype at = 4;
    for (;;) {
        if (at + 4 > flac.size())
            return false;
        const bool last = quint8(flac[at]) & 0x80;
        const int type = quint8(flac[at]) & 0x7F;
        const qsizetype length = qsizetype(quint8(flac[at + 1])) << 16 |
                                 qsizetype(quint8(flac[at + 2])) << 8 | quint8(flac[at + 3]);
        if (type == 0) {
            streamInfo = flac.mid(at, 4 + length);
            streamInfo[0] = char(0); // not the last block any more
        }
        at += 4 + length;
        if (last)
            break;
    }
    frames = flac.mid(at);
    return !streamInfo.isEmpty();
}

QStringList makeFlacFiles(const QString& folder, int n) {
    const QString wave = folder + QStringLiteral("/template.wav");
    const QString flac = folder + QStringLiteral("/template.flac");
    if (QProcess::execute("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", wave, "synth", "1",
                                  "sine", "440", "gain", "-6"}) != 0 ||
        QProcess::execute("flac", {"-s", "-f", "--no-padding", "-o", flac, wave}) != 0)
        return {};
    QFile in(flac);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QByteArray streamInfo, frames;
    if (!splitTemplate(in.readAll(), streamInfo, frames))
        return {};
    QStringList paths;
    const time_t hourAgo = time(nullptr) - 3600;
    for (int i = 0; i < n; ++i) {
        const QString path = folder + QStringLiteral("/%1 song.flac").arg(i, 5, 10, QChar(u'0'));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            return {};
        out.write("fLaC" + streamInfo +
                  commentBlock({QStringLiteral("TITLE=曲 %1").arg(i).toUtf8(),
                                QStringLiteral("ARTIST=歌手 %1").arg(i % 97).toUtf8(),
                                "ALBUM=Bench", "TRACKNUMBER=" + QByteArray::number(i % 20 + 1)}) +
                  frames);
        out.close();
        const utimbuf old{hourAgo, hourAgo};
        ::utime(QFile::encodeName(path).constData(), &old);
        paths.push_back(path);
    }
    QFile::remove(wave);
    QFile::remove(flac);
    return paths;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    QTemporaryDir tmp;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    QDir().mkpath(folder);
    const QStringList paths = makeFlacFiles(folder, n);
    if (paths.size() != n) {
        std::fprintf(stderr, "cannot make the FLAC files in %s (needs sox and flac)\n",
                     qPrintable(folder));
        return 1;
    }
    std::printf("%d tagged FLAC files in %s, %d threads\n", n, qPrintable(folder),
                QThread::idealThreadCount());

    // Warm the cache, and check that the rows are what the tags say.
    PlaylistModel check;
    PlaylistAdder(check).addPlayListItems(paths);
    if (check.row(n).title != QStringLiteral("曲 %1").arg(n - 1) ||
        check.row(n).length != QStringLiteral("00:01"))
        std::fprintf(stderr, "unexpected row: %s %s\n", qPrintable(check.row(n).title),
                     qPrintable(check.row(n).length));

    std::printf("adding rows (title, artist, length):\n");
    print("addPlayListItems (batch, worker threads)", n, best(3, [&] {
              PlaylistModel m;
              PlaylistAdder(m).addPlayListItems(paths);
          }));
    print("AddPlayListItem one by one (one thread)", n, best(3, [&] {
              PlaylistModel m;
              PlaylistAdder a(m);
              for (const QString& p : paths)
                  a.AddPlayListItem(p);
          }));
    print("  of which readFileInfo (one thread)", n, best(3, [&] {
              for (const QString& p : paths)
                  (void)readFileInfo(p);
          }));
    print("  of which ReadExtTag (one thread)", n, best(3, [&] {
              for (const QString& p : paths) {
                  ExtTagInfo ext;
                  (void)ReadExtTag(ext, p);
              }
          }));
    print("reference: TagLib title/artist/length loop", n, best(3, [&] {
              int total = 0;
              for (const QString& p : paths) {
                  TagLib::FLAC::File f(QFile::encodeName(p).constData(),
                                       TagLib::ID3v2::FrameFactory::instance(), true,
                                       TagLib::AudioProperties::Fast);
                  total += int(f.tag()->title().size() + f.tag()->artist().size());
                  if (f.audioProperties())
                      total += f.audioProperties()->lengthInSeconds();
              }
              if (total < 0)
                  std::puts("");
          }));
    print("reference: metaflac --show-tag over all files", n, best(1, [&] {
              // In runs of 1,000 names, as xargs would.
              for (qsizetype i = 0; i < paths.size(); i += 1000) {
                  QProcess p;
                  p.setStandardOutputFile(QProcess::nullDevice());
                  p.start("metaflac", QStringList{"--show-tag=TITLE", "--show-tag=ARTIST",
                                                  "--show-total-samples"} +
                                          paths.mid(i, 1000));
                  p.waitForFinished(-1);
              }
          }));
    return 0;
}
