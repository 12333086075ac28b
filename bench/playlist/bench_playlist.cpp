// Playlist figures on files it makes itself: N small MP3 files (default 10,000), each
// with an ID3v2.3 tag (UTF-16 title and artist) and an ID3v1 tag around a few frames
// of silence. Prints, with a warm cache:
//   - rows added per second through the batch path (addPlayListItems) and one by
//     one (AddPlayListItem, one thread);
//   - for reference, over the same files in the same run: a plain TagLib loop reading
//     title, artist and length (one thread), and `id3v2 -l` listing them;
//   - reading and saving an N-line playlist;
//   - the row operations (delete, move up and down, shuffle, sort, select all, clicks)
//     on N rows with a scattered selection: on the model alone, and with a table view
//     sharing its selection, counting the view's repaint (offscreen unless a platform
//     is set).
//   bench_playlist [N] [FOLDER]     (FOLDER defaults to a temporary folder)
#include "TaggedFiles.h"
#include "audio/FileInfoReader.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistOperations.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>

#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

using namespace pelto;

namespace {

// The best of a few runs, in seconds.
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

// What a view does on Ctrl+A: one range over every row.
void selectAll(PlaylistModel& model) {
    model.selectionModel()->select(
        QItemSelection(model.index(0, 0), model.index(model.count() - 1, 3)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// N rows with titles in no order, about a third of them selected at random (fixed
// seed), the focus and the current song in the middle.
void fillScattered(PlaylistModel& model, int n) {
    std::mt19937 random(7);
    QVector<PlaylistRow> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i)
        rows.push_back({QStringLiteral("曲 %1").arg(random() % 100000),
                        QStringLiteral("歌手 %1").arg(i % 97), QStringLiteral("03:00"),
                        QStringLiteral("/music/%1.mp3").arg(i)});
    model.appendRows(rows);
    std::vector<bool> selected(n);
    for (int i = 0; i < n; ++i)
        selected[i] = random() % 3 == 0;
    model.setSelectionFlags(selected);
    model.setFocusedRow(n / 2);
    model.setPlayListTrNum(n / 2 + 1);
    model.SetPlayListColor();
}

// The best of a few runs of an operation on freshly made rows, in seconds. With a view,
// the time runs until the view has handled the change and painted.
double bestOnFreshRows(int n, bool withView, const std::function<void(PlaylistModel&)>& operation) {
    double b = 1e30;
    for (int r = 0; r < 5; ++r) {
        PlaylistModel model;
        fillScattered(model, n);
        QTableView view;
        if (withView) {
            view.setModel(&model);
            view.setSelectionModel(model.selectionModel());
            view.setSelectionBehavior(QAbstractItemView::SelectRows);
            view.setSelectionMode(QAbstractItemView::ExtendedSelection);
            view.resize(600, 400);
            view.show();
            view.scrollTo(model.index(n / 2, 0));
            QApplication::processEvents();
        }
        QElapsedTimer t;
        t.start();
        operation(model);
        if (withView)
            view.repaint();
        b = std::min(b, double(t.nsecsElapsed()) / 1e9);
    }
    return b;
}

void benchOperations(int n) {
    std::printf("row operations (%d rows, a third selected, scattered):\n", n);
    std::printf("  %-44s %11s %11s\n", "", "model", "with a view");
    const auto row = [n](const char* what, const std::function<void(PlaylistModel&)>& op) {
        std::printf("  %-44s %8.2f ms %8.2f ms\n", what, bestOnFreshRows(n, false, op) * 1e3,
                    bestOnFreshRows(n, true, op) * 1e3);
    };
    using Ops = PlaylistOperations;
    row("delete selected", [](PlaylistModel& m) { Ops::deleteSelected(m); });
    row("move up", [](PlaylistModel& m) { Ops::moveUp(m); });
    row("move down", [](PlaylistModel& m) { Ops::moveDown(m); });
    row("shuffle", [](PlaylistModel& m) {
        std::mt19937_64 engine(1);
        Ops::shuffle(m, [&] { return std::generate_canonical<double, 53>(engine); });
    });
    row("sort by title", [](PlaylistModel& m) { Ops::sortByColumn(m, 0); });
    row("sort by path", [](PlaylistModel& m) { Ops::sortByColumn(m, 3); });
    row("select all", [](PlaylistModel& m) { selectAll(m); });
    row("select all, then move up", [](PlaylistModel& m) {
        selectAll(m);
        Ops::moveUp(m);
    });
    row("read the selection (selectionFlags)", [](PlaylistModel& m) {
        if (m.selectionFlags().empty())
            std::puts("");
    });
    row("select only row 1 (play from the top)", [](PlaylistModel& m) { m.selectOnly(1); });
    // What a view does on a click and on a Ctrl+click.
    row("click a row", [](PlaylistModel& m) {
        m.selectionModel()->setCurrentIndex(m.index(5, 0), QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
    });
    row("ctrl-click a row", [](PlaylistModel& m) {
        m.selectionModel()->setCurrentIndex(m.index(5, 0), QItemSelectionModel::Toggle |
                                                               QItemSelectionModel::Rows);
    });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    QTemporaryDir tmp;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    QDir().mkpath(folder);
    const QStringList paths = makeFiles(folder, n);
    if (paths.size() != n) {
        std::fprintf(stderr, "cannot write the files in %s\n", qPrintable(folder));
        return 1;
    }
    std::printf("%d tagged MP3 files in %s, %d threads\n", n, qPrintable(folder),
                QThread::idealThreadCount());

    // Warm the cache, and check that the rows are what the tags say.
    PlaylistModel check;
    PlaylistAdder(check).addPlayListItems(paths);
    if (check.row(n).title != QStringLiteral("曲 %1").arg(n - 1))
        std::fprintf(stderr, "unexpected title: %s\n", qPrintable(check.row(n).title));

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
                  TagLib::MPEG::File f(QFile::encodeName(p).constData(), true,
                                       TagLib::AudioProperties::Fast);
                  total += int(f.tag()->title().size() + f.tag()->artist().size());
                  if (f.audioProperties())
                      total += f.audioProperties()->lengthInSeconds();
              }
              if (total < 0)
                  std::puts("");
          }));
    const QString id3tool = QStandardPaths::findExecutable(QStringLiteral("id3v2"));
    if (!id3tool.isEmpty())
        print("reference: id3v2 -l over all files", n, best(1, [&] {
                  QProcess p;
                  p.setStandardOutputFile(QProcess::nullDevice());
                  p.start(id3tool, QStringList{QStringLiteral("-l")} + paths);
                  p.waitForFinished(-1);
              }));

    std::printf("playlist files (%d lines):\n", n);
    const QString list = folder + QStringLiteral("/bench.m3u");
    const double save = best(5, [&] { SavePlayListFile(check, list); });
    std::printf("  %-44s %8.1f ms\n", "SavePlayListFile", save * 1e3);
    qsizetype entries = 0;
    const double read = best(5, [&] { entries = ReadPlayListFile(list).size(); });
    std::printf("  %-44s %8.1f ms  (%lld entries)\n", "ReadPlayListFile", read * 1e3,
                static_cast<long long>(entries));
    const double restore = best(3, [&] {
        PlaylistModel m;
        PlaylistAdder(m).addPlayListItems(ReadPlayListFile(list));
    });
    std::printf("  %-44s %8.1f ms\n", "read and add every entry (a start-up restore)",
                restore * 1e3);

    benchOperations(n);
    return 0;
}
