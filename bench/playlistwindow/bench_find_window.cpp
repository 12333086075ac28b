// The find window over N rows (default 10,000 and 100,000): how long it takes from a
// keystroke in its field until the window has painted the new list, for a query typed
// letter by letter, words added, letters taken back and the field cleared; what opening
// the window the first time costs (the match keys made); the memory the keys take; and
// the list following a deletion and a sort while it is open. The reference is the same
// search without keys made beforehand (every row's texts put in match form at each
// keystroke).
//   bench_find_window [N...]        (offscreen unless a platform is set)
#include "ResidentMemory.h"
#include "player/ProgramLogic.h"
#include "playlist/MatchText.h"
#include "playlist/PlaylistMatchKeys.h"
#include "playlist/PlaylistOperations.h"
#include "playlist/RowFinder.h"
#include "playlistwindow/FindSongForm.h"
#include "playlistwindow/PlayListForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

using namespace pelto;

namespace {

double msSince(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// Rows like a collection of Japanese and western music: albums of 12 songs in folders
// of their artist, titles and names in kanji, kana (some half-width) and Latin letters.
QVector<PlaylistRow> collection(int n) {
    static const char16_t* const kWords[] = {
        u"さくら", u"夜空",   u"ワルツ", u"Morning", u"Coffee", u"ﾒﾛﾃﾞｨｰ",   u"坂道",
        u"Rain",   u"window", u"東京",   u"ハート",  u"Love",   u"ＬＩＶＥ", u"青い",
        u"Train",  u"Home",   u"風",     u"きみ",    u"Dream",  u"ﾗｼﾞｵ",     u"海"};
    static const char16_t* const kArtists[] = {u"ペルト楽団",     u"The Pelto Trio",
                                               u"みずいろ合唱団", u"Mika Aalto",
                                               u"ｻﾝﾌﾟﾙ",          u"東京ストリングス"};
    std::mt19937 random(5);
    const auto word = [&] { return QString::fromUtf16(kWords[random() % std::size(kWords)]); };
    QVector<PlaylistRow> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int album = i / 12;
        const QString artist =
            QString::fromUtf16(kArtists[album % std::size(kArtists)]) + QString::number(album % 50);
        const QString title = word() + u' ' + word() + (i % 3 ? QString() : u' ' + word());
        rows.push_back({title, artist,
                        QStringLiteral("%1:%2")
                            .arg(2 + i % 5, 2, 10, QChar(u'0'))
                            .arg(i % 60, 2, 10, QChar(u'0')),
                        QStringLiteral("/home/user/音楽/%1/Album %2/%3 %4.mp3")
                            .arg(artist)
                            .arg(album)
                            .arg(i % 12 + 1, 2, 10, QChar(u'0'))
                            .arg(title)});
    }
    return rows;
}

// The keys a keystroke gives: text to insert, or Backspace when empty.
struct Stroke {
    QString text;
    int key = 0;
};

QList<Stroke> strokes() {
    QList<Stroke> list;
    const auto type = [&](std::initializer_list<const char16_t*> letters) {
        for (const char16_t* letter : letters)
            list.append({QString::fromUtf16(letter)});
    };
    const auto back = [&](int times) {
        for (int i = 0; i < times; ++i)
            list.append({{}, Qt::Key_Backspace});
    };
    // A word in hiragana, a second one in Latin letters, taken back; another in
    // half-width katakana; the field emptied letter by letter; a single letter found in
    // most rows; an artist and an album number.
    type({u"さ", u"く", u"ら", u" ", u"l", u"o", u"v", u"e"});
    back(5);
    type({u"ﾒ", u"ﾛ"});
    back(5);
    type({u"e"});
    back(1);
    type({u"ぺ", u"る", u"と", u" ", u"1", u"2"});
    return list;
}

void send(QWidget* to, const Stroke& s) {
    QKeyEvent press(QEvent::KeyPress, s.key ? s.key : Qt::Key_unknown, Qt::NoModifier, s.text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, s.key ? s.key : Qt::Key_unknown, Qt::NoModifier, s.text);
    QApplication::sendEvent(to, &release);
}

// The reference: the rows holding every word of the query, each row's texts put in
// match form anew.
size_t findWithoutKeys(const PlaylistModel& playlist, const QString& query) {
    const MatchQuery q(query);
    size_t found = 0;
    std::string key;
    for (int n = 1; n <= playlist.count(); ++n) {
        const PlaylistRow row = playlist.row(n);
        key.clear();
        appendMatchForm(row.title, key);
        key += '\n';
        appendMatchForm(row.artist, key);
        key += '\n';
        appendMatchForm(row.path, key);
        found += q.matches(key);
    }
    return found;
}

void bench(int n) {
    ProgramLogic logic;
    PlaylistModel& playlist = logic.playlist;
    playlist.appendRows(collection(n));
    PlayListForm form{playlist, logic.player, logic.commands, logic.buttons};
    form.show();
    QApplication::processEvents();
    std::printf("== %d rows (%s)\n", n, qPrintable(QApplication::platformName()));

    // The keys alone, best of three.
    double keysMs = 1e30;
    QElapsedTimer t;
    for (int run = 0; run < 3; ++run) {
        t.restart();
        const PlaylistMatchKeys keys(playlist);
        keysMs = std::min(keysMs, msSince(t));
    }

    t.restart();
    FindSongForm find(playlist, &form);
    find.open();
    QApplication::processEvents();
    find.repaint();
    const double openMs = msSince(t);
    QApplication::processEvents();
    const size_t keyBytes = find.finder().keys().bytesUsed();
    std::printf("  open the window the first time: %8.2f ms, of which making the keys %.2f ms\n",
                openMs, keysMs);
    std::printf("  match keys: %.2f MB (%.0f bytes a row); the process holds %.1f MB\n",
                double(keyBytes) / 1048576, double(keyBytes) / n, double(residentKiB()) / 1024);

    // Each keystroke until painted, best of three passes.
    const QList<Stroke> typed = strokes();
    std::vector<double> best(size_t(typed.size()), 1e30);
    std::vector<QString> texts(size_t(typed.size()));
    std::vector<int> shown(size_t(typed.size()));
    for (int pass = 0; pass < 3; ++pass) {
        find.field()->clear();
        QApplication::processEvents();
        for (qsizetype i = 0; i < typed.size(); ++i) {
            t.restart();
            send(find.field(), typed[i]);
            find.repaint();
            best[size_t(i)] = std::min(best[size_t(i)], msSince(t));
            texts[size_t(i)] = find.field()->text();
            shown[size_t(i)] = find.list()->model()->rowCount();
        }
    }
    std::printf("  keystroke until painted (best of 3)     %10s %12s %12s\n", "rows listed",
                "find window", "no keys");
    double worst = 0, worstReference = 0;
    for (size_t i = 0; i < best.size(); ++i) {
        QElapsedTimer r;
        r.start();
        findWithoutKeys(playlist, texts[i]);
        const double reference = msSince(r);
        worst = std::max(worst, best[i]);
        worstReference = std::max(worstReference, reference);
        const QString label = typed[qsizetype(i)].key ? QStringLiteral("Backspace")
                                                      : u'"' + typed[qsizetype(i)].text + u'"';
        std::printf("    %-12s -> %-22s %8d %9.2f ms %9.2f ms\n", qPrintable(label),
                    qPrintable(u'"' + texts[i] + u'"'), shown[i], best[i], reference);
    }
    std::printf("  slowest keystroke: %.2f ms (without keys: %.2f ms); target: under 50 ms\n",
                worst, worstReference);

    // The list following the playlist while it is open on a query, against the same
    // change with the find window never opened.
    find.field()->setText(QStringLiteral("さくら"));
    QApplication::processEvents();
    ProgramLogic plainLogic;
    plainLogic.playlist.appendRows(collection(n));
    PlayListForm plain{plainLogic.playlist, plainLogic.player, plainLogic.commands,
                       plainLogic.buttons};
    plain.show();
    QApplication::processEvents();
    std::printf("  %-42s %12s %12s\n", "until painted", "find open", "never opened");
    const auto timed = [&](const char* what, const std::function<void(PlaylistModel&)>& change) {
        t.restart();
        change(playlist);
        find.repaint();
        form.repaint();
        const double open = msSince(t);
        t.restart();
        change(plainLogic.playlist);
        plain.repaint();
        std::printf("  %-42s %9.2f ms %9.2f ms   (%d rows listed)\n", what, open, msSince(t),
                    find.list()->model()->rowCount());
    };
    timed("delete one row", [n](PlaylistModel& list) {
        list.selectOnly(n / 2);
        PlaylistOperations::deleteSelected(list);
    });
    timed("shuffle", [](PlaylistModel& list) {
        PlaylistOperations::shuffle(list, PlaylistOperations::clockSeededUniform());
    });
    timed("sort by title", [](PlaylistModel& list) { PlaylistOperations::sortByColumn(list, 0); });
    timed("add 1,000 rows", [](PlaylistModel& list) { list.appendRows(collection(1000)); });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(std::max(1, std::atoi(argv[i])));
    if (sizes.isEmpty())
        sizes = {10000, 100000};
    for (int n : sizes)
        bench(n);
    return 0;
}
