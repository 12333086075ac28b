// How files become rows: the title, artist and length rules, the command-line
// parser, drops, the add dialog's choice, the batch path, and FindPlayingRow.
#include "TestFiles.h"
#include "playlist/CommandLineSplit.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistModel.h"
#include "playlist/RowFacts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>

using namespace pelto;

namespace {

// The row the program makes for a file without tags or a readable length.
PlaylistRow rowFromName(const QString& path) {
    return playlistRowFromFacts(path, {}, {}, 0);
}

// An adder over a model that records every play request.
struct Fixture {
    PlaylistModel model;
    PlaylistAdder adder{model, rowFromName};
    QStringList played;
    Fixture() {
        QObject::connect(&adder, &PlaylistAdder::playRequested,
                         [this](const QString& p) { played << p; });
    }
    int highlightedCount() const {
        int n = 0;
        for (int i = 1; i <= model.count(); ++i)
            n += model.isHighlighted(i);
        return n;
    }
};

ID3TagInfo v1(const QString& title, const QString& artist) {
    ID3TagInfo t;
    t.Title = title;
    t.Artist = artist;
    return t;
}

ExtTagInfo ext(const QString& title, const QString& artist) {
    ExtTagInfo e;
    e.Title = title;
    e.Artist = artist;
    return e;
}

using test::writeFile;

} // namespace

class TestPlaylistAdder : public QObject {
    Q_OBJECT
private slots:
    void rowFromFacts_data();
    void rowFromFacts();
    void rowTitleFromWindowsName();
    void splitting_data();
    void splitting();
    void commandLineAddsAndPlaysFirst();
    void commandLineKindsAndSkips();
    void commandLineClearAndEmpty();
    void handOffAppendsAndPlaysFirstAdded();
    void commandLineUnbalancedQuotes();
    void commandLineExpandsPlaylists();
    void dropsAndDialogChoices();
    void batchMatchesSequentialOrder();
    void findPlayingRow();
};

void TestPlaylistAdder::rowFromFacts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("v1Title");
    QTest::addColumn<QString>("v1Artist");
    QTest::addColumn<QString>("extTitle");
    QTest::addColumn<QString>("extArtist");
    QTest::addColumn<int>("extValid");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("length");
    QTest::newRow("extended wins, trimmed") << "/m/a.mp3"
                                            << "V1"
                                            << "V1A"
                                            << "  Ext  "
                                            << " ExtA " << 1 << 245 << "Ext"
                                            << "ExtA"
                                            << "04:05";
    QTest::newRow("extended ignored when invalid") << "/m/a.mp3"
                                                   << "V1"
                                                   << "V1A"
                                                   << "Ext"
                                                   << "ExtA" << 0 << 0 << "V1"
                                                   << "V1A"
                                                   << "00:00";
    QTest::newRow("blank extended falls back per field") << "/m/a.mp3"
                                                         << " V1 "
                                                         << "V1A"
                                                         << "   "
                                                         << "ExtA" << 1 << 6000 << "V1"
                                                         << "ExtA"
                                                         << "100:00";
    // Only U+0020 is trimmed: a tab and a full-width space (U+3000) stay.
    QTest::newRow("only spaces trimmed")
        << "/m/a.mp3" << QStringLiteral(" \tV1\u3000 ") << QStringLiteral("\u3000")
        << QStringLiteral(" \tExt\u3000 ") << "\t" << 1 << 0 << QStringLiteral("\tExt\u3000")
        << "\t"
        << "00:00";
    QTest::newRow("version 1 text cut at NUL")
        << "/m/a.mp3" << QString::fromLatin1("T\0rest", 6) << QString::fromLatin1(" A \0x", 5) << ""
        << "" << 0 << 59 << "T"
        << "A"
        << "00:59";
    QTest::newRow("file name, no artist fallback") << "/a/b.c.mp3"
                                                   << "  "
                                                   << ""
                                                   << ""
                                                   << "" << 1 << 0 << "b.c"
                                                   << ""
                                                   << "00:00";
    QTest::newRow("file name without extension") << "/a/noext"
                                                 << ""
                                                 << ""
                                                 << ""
                                                 << "" << 0 << 0 << "noext"
                                                 << ""
                                                 << "00:00";
    QTest::newRow("dot in the folder only") << "/a.b/song"
                                            << ""
                                            << ""
                                            << ""
                                            << "" << 0 << 0 << "song"
                                            << ""
                                            << "00:00";
}

void TestPlaylistAdder::rowFromFacts() {
    QFETCH(QString, path);
    QFETCH(QString, v1Title);
    QFETCH(QString, v1Artist);
    QFETCH(QString, extTitle);
    QFETCH(QString, extArtist);
    QFETCH(int, extValid);
    QFETCH(int, seconds);
    FileInfo info;
    info.tag = v1(v1Title, v1Artist);
    info.TotalSec = seconds;
    const PlaylistRow row = playlistRowFromFacts(path, info, ext(extTitle, extArtist), extValid);
    QTEST(row.title, "title");
    QTEST(row.artist, "artist");
    QTEST(row.length, "length");
    QCOMPARE(row.path, path);
}

void TestPlaylistAdder::rowTitleFromWindowsName() {
    const PlaylistRow row =
        playlistRowFromFacts("C:\\a\\b.c.mp3", {}, {}, 0, PathSyntax::windows());
    QCOMPARE(row.title, QStringLiteral("b.c"));
    QCOMPARE(row.path, QStringLiteral("C:\\a\\b.c.mp3"));
}

void TestPlaylistAdder::splitting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("quoted then plain")
        << "\"/My Music/a.mp3\" /b.mp3" << QStringList{"/My Music/a.mp3", "/b.mp3"};
    QTest::newRow("unquoted space splits")
        << "/My Music/a.mp3" << QStringList{"/My", "Music/a.mp3"};
    QTest::newRow("unquoted, Windows form")
        << "C:\\My Music\\a.mp3" << QStringList{"C:\\My", "Music\\a.mp3"};
    QTest::newRow("two spaces") << "a.mp3  b.mp3" << QStringList{"a.mp3", "", "b.mp3"};
    QTest::newRow("trailing space") << "a.mp3 " << QStringList{"a.mp3"};
    QTest::newRow("quote in the middle") << "a\"b.mp3 c" << QStringList{"ab.mp3", "c"};
    QTest::newRow("unclosed quote") << "\"/a b.mp3" << QStringList{"/a b.mp3"};
    QTest::newRow("quote space at once") << "\" /x.mp3" << QStringList{"", "/x.mp3"};
    QTest::newRow("lone quote") << "\"" << QStringList{""};
    QTest::newRow("quotes only") << "\"\"\"" << QStringList{""};
    QTest::newRow("closing quote without space")
        << "\"a.mp3\"b.mp3 c" << QStringList{"a.mp3b.mp3 c"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestPlaylistAdder::splitting() {
    QFETCH(QString, text);
    QTEST(splitCommandLine(text), "names");
}

void TestPlaylistAdder::commandLineAddsAndPlaysFirst() {
    Fixture f;
    f.model.setPlayListTrNum(7);
    f.adder.AddCommandLine("\"/My Music/a.mp3\" /b.mp3", true, true);
    QCOMPARE(f.model.paths(), QStringList({"/My Music/a.mp3", "/b.mp3"}));
    QCOMPARE(f.model.row(1).title, QStringLiteral("a"));
    QCOMPARE(f.model.PlayListTrNum(), 1);
    QVERIFY(f.model.isHighlighted(1));
    QCOMPARE(f.highlightedCount(), 1);
    QCOMPARE(f.played, QStringList({"/My Music/a.mp3"}));
}

void TestPlaylistAdder::commandLineKindsAndSkips() {
    Fixture f;
    f.adder.AddCommandLine("/My Music/a.mp3 /x/A.MP3 /x/b.Wav /x/c.mp2 /x/d.mp1 /x/e.rmp "
                           "/x/a.mp3x /Music /Music.old/song C:\\Music C:\\Music.old\\song "
                           "/x/f.m4a /x/h.OGG /x/g.mp3",
                           false, false);
    QCOMPARE(f.model.paths(), QStringList({"Music/a.mp3", "/x/A.MP3", "/x/b.Wav", "/x/c.mp2",
                                           "/x/d.mp1", "/x/e.rmp", "/x/h.OGG", "/x/g.mp3"}));
    QVERIFY(f.played.isEmpty());
    // The same file twice gives two identical rows.
    f.adder.AddCommandLine("/x/g.mp3", false, false);
    QCOMPARE(f.model.count(), 9);
    QCOMPARE(f.model.row(9).title, f.model.row(8).title);
    QCOMPARE(f.model.row(9).path, f.model.row(8).path);
}

void TestPlaylistAdder::commandLineClearAndEmpty() {
    Fixture f;
    f.adder.AddCommandLine("/a.mp3 /b.mp3 /c.mp3", false, false);
    f.model.setPlayListTrNum(2);
    f.model.SetPlayListColor();

    // Only unrecognised names, no clearing: nothing changes, nothing plays.
    f.adder.AddCommandLine("/readme.txt /folder", false, true);
    QCOMPARE(f.model.count(), 3);
    QCOMPARE(f.model.PlayListTrNum(), 2);
    QVERIFY(f.model.isHighlighted(2));
    QVERIFY(f.played.isEmpty());

    // An empty text with clearFirst still empties the list, and plays nothing.
    f.adder.AddCommandLine("", true, true);
    QCOMPARE(f.model.count(), 0);
    QVERIFY(f.played.isEmpty());
    f.adder.AddCommandLine("", false, true);
    QVERIFY(f.played.isEmpty());
}

void TestPlaylistAdder::handOffAppendsAndPlaysFirstAdded() {
    Fixture f;
    f.adder.AddCommandLine("/1.mp3 /2.mp3 /3.mp3 /4.mp3 /5.mp3", false, false);
    f.model.setPlayListTrNum(3);
    f.model.SetPlayListColor();
    f.adder.AddCommandLine("/6.mp3 \"/with space/7.mp3\"", false, true);
    QCOMPARE(f.model.count(), 7);
    QCOMPARE(f.model.path(7), QStringLiteral("/with space/7.mp3"));
    QCOMPARE(f.model.PlayListTrNum(), 6);
    QVERIFY(f.model.isHighlighted(6));
    QCOMPARE(f.highlightedCount(), 1);
    QCOMPARE(f.played, QStringList({"/6.mp3"}));
}

void TestPlaylistAdder::commandLineUnbalancedQuotes() {
    Fixture f;
    f.adder.AddCommandLine("\"/a b.mp3", false, false);
    f.adder.AddCommandLine("/c.mp3 \"/d e.mp3", false, false);
    f.adder.AddCommandLine("\"\"\" \" \"", false, false);
    QCOMPARE(f.model.paths(), QStringList({"/a b.mp3", "/c.mp3", "/d e.mp3"}));
    // A long text of quotes, empty names and an unclosed quote at its end.
    QString hostile;
    for (int i = 0; i < 20000; ++i)
        hostile += QStringLiteral("\"y z.mp3\" x.mp3 \"\" ");
    hostile += QStringLiteral("\"tail x.mp3");
    f.adder.AddCommandLine(hostile, true, true);
    QCOMPARE(f.model.count(), 40001);
    QCOMPARE(f.model.path(1), QStringLiteral("y z.mp3"));
    QCOMPARE(f.model.path(2), QStringLiteral("x.mp3"));
    QCOMPARE(f.model.path(40001), QStringLiteral("tail x.mp3"));
    QCOMPARE(f.played.size(), 1);
}

void TestPlaylistAdder::commandLineExpandsPlaylists() {
    QTemporaryDir dir;
    const QString list = dir.filePath("My List.M3U");
    QVERIFY(writeFile(list, "one.mp3\r\n#comment\r\n/abs/two.ogg\r\nnested.m3u\r\n"));
    Fixture f;
    f.adder.AddCommandLine("/first.mp3 \"" + list + "\" " + dir.filePath("missing.m3u"), true,
                           true);
    // Entries are taken whatever their extension, and a nested list is just a row.
    QCOMPARE(f.model.paths(), QStringList({"/first.mp3", dir.filePath("one.mp3"), "/abs/two.ogg",
                                           dir.filePath("nested.m3u")}));
    QCOMPARE(f.played, QStringList({"/first.mp3"}));
}

void TestPlaylistAdder::dropsAndDialogChoices() {
    QTemporaryDir dir;
    const QString list = dir.filePath("l.m3u");
    QVERIFY(writeFile(list, "x.mp3\ny.txt\n"));
    Fixture f;
    f.model.setPlayListTrNum(0);
    f.adder.AddDroppedFiles({dir.path(), "/a.mp3", "/b.txt", list, "/noext"});
    QCOMPARE(f.model.paths(),
             QStringList({"/a.mp3", dir.filePath("x.mp3"), dir.filePath("y.txt")}));
    f.adder.AddDroppedFiles({});
    QCOMPARE(f.model.count(), 3);

    // The dialog takes any file; only ".m3u" is opened.
    f.adder.addDialogSelection({"/c.txt", list, "/noext"});
    QCOMPARE(f.model.paths().mid(3),
             QStringList({"/c.txt", dir.filePath("x.mp3"), dir.filePath("y.txt"), "/noext"}));
    QCOMPARE(f.model.row(7).title, QStringLiteral("noext"));
    QCOMPARE(f.model.PlayListTrNum(), 0);
    QCOMPARE(f.highlightedCount(), 0);
    QVERIFY(f.played.isEmpty());
    for (int i = 1; i <= f.model.count(); ++i)
        QVERIFY(!f.model.isSelected(i));
}

void TestPlaylistAdder::batchMatchesSequentialOrder() {
    // A reader that is slow for some files and runs on several threads still gives
    // the rows in the order of the names.
    std::atomic<int> calls{0};
    QSet<Qt::HANDLE> threads;
    QMutex threadsLock;
    const auto reader = [&](const QString& path) {
        ++calls;
        {
            QMutexLocker lock(&threadsLock);
            threads.insert(QThread::currentThreadId());
        }
        if (path.endsWith("7.mp3"))
            QThread::usleep(200);
        return rowFromName(path);
    };
    QStringList paths;
    for (int i = 0; i < 2000; ++i)
        paths << QStringLiteral("/m/%1.mp3").arg(i);
    PlaylistModel batch, sequential;
    PlaylistAdder(batch, reader).addPlayListItems(paths);
    PlaylistAdder oneByOne(sequential, rowFromName);
    for (const QString& p : paths)
        oneByOne.AddPlayListItem(p);
    QCOMPARE(calls.load(), 2000);
    QCOMPARE(batch.paths(), sequential.paths());
    for (int i = 1; i <= batch.count(); ++i)
        QCOMPARE(batch.row(i).title, sequential.row(i).title);
    if (QThread::idealThreadCount() > 1)
        QVERIFY(threads.size() > 1);
}

void TestPlaylistAdder::findPlayingRow() {
    PlaylistModel model;
    QCOMPARE(model.FindPlayingRow(), 1);
    model.setPlayListTrNum(0);
    model.SetPlayListColor(); // an empty list: nothing to mark, and no crash
    QCOMPARE(model.FindPlayingRow(), 1);
    PlaylistAdder adder(model, rowFromName);
    adder.addPlayListItems({"/a.mp3", "/b.mp3", "/c.mp3"});
    QCOMPARE(model.FindPlayingRow(), 1);
    model.setPlayListTrNum(9);
    model.SetPlayListColor(); // clamped to the last row
    QCOMPARE(model.PlayListTrNum(), 3);
    QCOMPARE(model.FindPlayingRow(), 3);
    // The highlight shows as bold and RGB(30, 30, 200) on title and artist only.
    const QModelIndex title = model.index(2, 0), length = model.index(2, 2);
    QVERIFY(model.data(title, Qt::FontRole).value<QFont>().bold());
    QCOMPARE(model.data(model.index(2, 1), Qt::ForegroundRole).value<QColor>(),
             QColor(30, 30, 200));
    QVERIFY(!model.data(length, Qt::FontRole).isValid());
    QVERIFY(!model.data(model.index(1, 0), Qt::FontRole).isValid());
    model.CancelPlayListColor();
    QCOMPARE(model.FindPlayingRow(), 1);
    QVERIFY(!model.isHighlighted(3));
}

QTEST_MAIN(TestPlaylistAdder)
#include "tst_playlist_adder.moc"
