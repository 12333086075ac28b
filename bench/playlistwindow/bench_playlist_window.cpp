// The playlist window with N rows (default 10,000) shown: how long showing the window
// and each row operation take, until the window has handled the change and painted
// itself again. The operations act on half the rows, selected every other row (the
// selection Qt finds hardest: N / 2 separate ranges) and, for comparison, as one
// block. Prints the best of five runs, each on a freshly filled window, and the
// memory the process holds at the end.
//   bench_playlist_window [N]        (offscreen unless a platform is set)
#include "ResidentMemory.h"
#include "player/ProgramLogic.h"
#include "playlist/PlaylistOperations.h"
#include "playlistwindow/PlayListForm.h"
#include "playlistwindow/PlayListView.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>

using namespace pelto;

namespace {

enum class Selection { EveryOther, OneBlock };

// The window over N made-up rows, shown, with half the rows selected and the current
// song in the middle, scrolled to it.
struct ShownWindow {
    ProgramLogic logic;
    PlaylistModel& playlist = logic.playlist;
    PlayListForm form{playlist, logic.player, logic.commands, logic.buttons};

    ShownWindow(int n, Selection selection) {
        std::mt19937 random(7);
        QVector<PlaylistRow> rows;
        rows.reserve(n);
        for (int i = 0; i < n; ++i)
            rows.push_back({QStringLiteral("曲 %1").arg(random() % 100000),
                            QStringLiteral("歌手 %1").arg(i % 97),
                            QStringLiteral("%1:%2")
                                .arg(random() % 12, 2, 10, QChar(u'0'))
                                .arg(random() % 60, 2, 10, QChar(u'0')),
                            QStringLiteral("/music/%1.mp3").arg(i)});
        playlist.appendRows(rows);
        std::vector<bool> selected(n);
        for (int i = 0; i < n; ++i)
            selected[i] =
                selection == Selection::EveryOther ? i % 2 == 0 : i >= n / 4 && i < n / 4 + n / 2;
        playlist.setSelectionFlags(selected);
        playlist.setFocusedRow(n / 2);
        playlist.setPlayListTrNum(n / 2 + 1);
        playlist.SetPlayListColor();
        form.show();
        form.listView()->scrollTo(playlist.index(n / 2, 0));
        QApplication::processEvents();
        form.repaint();
    }
};

// The best of five runs of `operation` on a fresh window, until it has painted again.
double bestMs(int n, Selection selection, const std::function<void(ShownWindow&)>& operation) {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        ShownWindow w(n, selection);
        QElapsedTimer t;
        t.start();
        operation(w);
        w.form.repaint();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10000;
    using Ops = PlaylistOperations;

    std::printf("playlist window with %d rows shown (%s), best of 5, until painted:\n", n,
                qPrintable(QApplication::platformName()));
    std::printf("  %-36s %14s %14s\n", "", "every other", "one block");
    const auto row = [n](const char* what, const std::function<void(ShownWindow&)>& op) {
        std::printf("  %-36s %11.2f ms %11.2f ms\n", what, bestMs(n, Selection::EveryOther, op),
                    bestMs(n, Selection::OneBlock, op));
    };
    row("delete the selected half", [](ShownWindow& w) { Ops::deleteSelected(w.playlist); });
    row("move the selected half up", [](ShownWindow& w) { Ops::moveUp(w.playlist); });
    row("move the selected half down", [](ShownWindow& w) { Ops::moveDown(w.playlist); });
    row("shuffle", [](ShownWindow& w) { Ops::shuffle(w.playlist, Ops::clockSeededUniform()); });
    row("sort by title", [](ShownWindow& w) { Ops::sortByColumn(w.playlist, 0); });
    row("sort by length", [](ShownWindow& w) { Ops::sortByColumn(w.playlist, 2); });
    row("sort by path", [](ShownWindow& w) { Ops::sortByColumn(w.playlist, 3); });
    row("select every row (Ctrl+A)", [](ShownWindow& w) { w.form.listView()->selectAll(); });
    row("hide and show the window", [](ShownWindow& w) {
        w.form.View_PlayList_Menu_Click();
        w.form.View_PlayList_Menu_Click();
        QApplication::processEvents();
    });

    // The first showing of a window just made and filled.
    double firstShow = 1e30;
    for (int run = 0; run < 5; ++run) {
        ProgramLogic logic;
        QVector<PlaylistRow> rows(n, {"曲", "歌手", "03:00", "/music/a.mp3"});
        logic.playlist.appendRows(rows);
        PlayListForm form{logic.playlist, logic.player, logic.commands, logic.buttons};
        QElapsedTimer t;
        t.start();
        form.View_PlayList_Menu_Click();
        QApplication::processEvents();
        form.repaint();
        firstShow = std::min(firstShow, double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("  %-36s %11.2f ms\n", "show the window the first time", firstShow);
    std::printf("resident memory at the end: %.1f MB\n", double(residentKiB()) / 1024);
    return 0;
}
