// The playlist kinds beside ".m3u": ".m3u8" is read and written as ".m3u" is, but
// always read as UTF-8; ".pls" ([playlist], FileN=) is read, in the order of its
// numbers, with relative entries against its folder and "file:" addresses, and never
// written. And the audio kinds FLAC, Ogg Vorbis and Opus beside the Part's five, for
// every add operation.
#include "TestFiles.h"
#include "common/FileNames.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistModel.h"
#include "playlist/RowFacts.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;
using test::readFile;
using test::writeFile;

namespace {

PlaylistRow rowFromName(const QString& path) {
    return playlistRowFromFacts(path, {}, {}, 0);
}

} // namespace

class TestPlaylistKinds : public QObject {
    Q_OBJECT
private slots:
    void m3u8IsReadAsUtf8Always();
    void m3u8IsWrittenAsM3u();
    void plsEntries();
    void plsInTheOrderOfItsNumbers();
    void plsHostileInput();
    void plsIsNeverWritten();
    void kindsOfEveryAddOperation();
};

void TestPlaylistKinds::m3u8IsReadAsUtf8Always() {
    const QString name = QStringLiteral("曲ｱｲｳ.flac");
    // The same rules as ".m3u": folder-relative names, comments, a byte order mark.
    QCOMPARE(parsePlaylistBytes("#EXTM3U\r\n#EXTINF:1,x\r\n\xEF\xBB\xBF" + name.toUtf8() +
                                    "\r\n/abs/b.ogg\r\n",
                                "/l/x.m3u8"),
             QStringList({"/l/\xEF\xBB\xBF" + name, "/abs/b.ogg"}));
    QCOMPARE(parsePlaylistBytes("\xEF\xBB\xBF" + name.toUtf8(), "/l/x.m3u8"),
             QStringList({"/l/" + name}));
    // A file that is not UTF-8 as a whole: an ".m3u" guesses CP932, an ".m3u8" never
    // does; a name that is not UTF-8 keeps its bytes.
    const QString kana = QStringLiteral("ﾃｨ曲.opus");
    const QByteArray legacy = QStringEncoder("CP932").encode(kana);
    QCOMPARE(parsePlaylistBytes(legacy, "/l/x.m3u"), QStringList({"/l/" + kana}));
    const QStringList asUtf8 = parsePlaylistBytes(legacy, "/l/x.m3u8");
    QCOMPARE(asUtf8.size(), 1);
    QVERIFY(asUtf8[0] != "/l/" + kana);
    QCOMPARE(encodeFileName(asUtf8[0]), "/l/" + legacy);
    // Read from a file, and by extension ignoring case.
    QTemporaryDir dir;
    const QString list = dir.filePath("list.M3U8");
    QVERIFY(writeFile(list, legacy + "\n" + name.toUtf8()));
    QCOMPARE(ReadPlayListFile(list).size(), 2);
    QCOMPARE(encodeFileName(ReadPlayListFile(list)[0]), (dir.path() + "/").toUtf8() + legacy);
    QCOMPARE(ReadPlayListFile(list)[1], dir.path() + "/" + name);
}

void TestPlaylistKinds::m3u8IsWrittenAsM3u() {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    const QStringList rows = {folder + QStringLiteral("曲.flac"), "/elsewhere/b.ogg",
                              folder + "sub/c.opus"};
    PlaylistModel model;
    for (const QString& p : rows)
        model.appendRow(rowFromName(p));
    QVERIFY(SavePlayListFile(model, folder + "y.m3u"));
    QVERIFY(SavePlayListFile(model, folder + "y.m3u8"));
    QCOMPARE(readFile(folder + "y.m3u8"), readFile(folder + "y.m3u"));
    QCOMPARE(readFile(folder + "y.m3u8"),
             QStringLiteral("曲.flac\r\n/elsewhere/b.ogg\r\n").toUtf8() + folder.toUtf8() +
                 "sub/c.opus\r\n");
    QCOMPARE(ReadPlayListFile(folder + "y.m3u8"), rows);
}

void TestPlaylistKinds::plsEntries() {
    const QByteArray pls = "[playlist]\r\n"
                           "NumberOfEntries=6\r\n"
                           "File1=a.flac\r\n"
                           "Title1=A\r\n"
                           "Length1=123\r\n"
                           "File2=sub/b.ogg\n"
                           "File3=/abs/c.opus\n"
                           "file4=file:///music/%E6%9B%B2%20d.mp3\n"
                           "FILE5=file://localhost/music/e.wav\n"
                           "File6=http://radio.example/stream\n"
                           "File7=\n"
                           "Version=2\n";
    QCOMPARE(parsePlaylistBytes(pls, "/lists/x.pls"),
             QStringList({"/lists/a.flac", "/lists/sub/b.ogg", "/abs/c.opus",
                          QStringLiteral("/music/曲 d.mp3"), "/music/e.wav"}));
    // Written by a Windows tool in CP932: read as text.
    const QString name = QStringLiteral("ﾃｨ曲.flac");
    QCOMPARE(parsePlaylistBytes("[playlist]\r\nFile1=" + QStringEncoder("CP932").encode(name),
                                "/l/x.pls"),
             QStringList({"/l/" + name}));
    // From a file, by every add operation that takes playlists.
    QTemporaryDir dir;
    const QString list = dir.filePath("x.PLS");
    QVERIFY(writeFile(list, pls));
    QCOMPARE(ReadPlayListFile(list).value(0), dir.path() + "/a.flac");
    QCOMPARE(PlaylistAdder::expandForAdding({list}, PlaylistAdder::Accept::AudioAndPlaylists),
             ReadPlayListFile(list));
    QCOMPARE(PlaylistAdder::expandForAdding({list}, PlaylistAdder::Accept::Anything),
             ReadPlayListFile(list));
    PlaylistModel model;
    PlaylistAdder adder(model, rowFromName);
    adder.addPlaylistFile(list);
    QCOMPARE(model.count(), 5);
    adder.AddDroppedFiles({list});
    QCOMPARE(model.count(), 10);
    PlaylistFileReader reader(list);
    QCOMPARE(reader.lineCount(), 5);
    QStringList batch;
    QVERIFY(reader.read(batch, 2));
    QVERIFY(reader.read(batch, 2));
    QVERIFY(reader.read(batch, 2));
    QVERIFY(!reader.read(batch, 2));
    QCOMPARE(batch, ReadPlayListFile(list));
}

void TestPlaylistKinds::plsInTheOrderOfItsNumbers() {
    QCOMPARE(parsePlaylistBytes("[playlist]\nFile10=j\nFile2=b\nFile1=a\nFile02=b2\nFile9=i\n",
                                "/l/x.pls"),
             QStringList({"/l/a", "/l/b", "/l/b2", "/l/i", "/l/j"}));
}

void TestPlaylistKinds::plsHostileInput() {
    // Lines that are no entries, numbers that are no numbers, NULs.
    QCOMPARE(parsePlaylistBytes(QByteArray("File=x\nFilex=y\nFile1 =z\nFil1=w\nFile2=a\0b\n"
                                           "File3=c\0",
                                           48),
                                "/l/x.pls"),
             QStringList({"/l/a", "/l/c"}));
    // Many entries with huge numbers, and one long line.
    QByteArray many = "[playlist]\n";
    for (int i = 0; i < 20000; ++i)
        many += "File" + QByteArray::number(99999999999999999LL - i) + "=n" +
                QByteArray::number(i) + "\n";
    many += "File1=" + QByteArray(100 * 1024, 'x') + "\n";
    const QStringList entries = parsePlaylistBytes(many, "/l/x.pls");
    QCOMPARE(entries.size(), 20001);
    QCOMPARE(entries[0].size(), 100 * 1024 + 3);
    QCOMPARE(entries[1], QStringLiteral("/l/n19999"));
    QCOMPARE(parsePlaylistBytes("", "/l/x.pls"), QStringList());
}

void TestPlaylistKinds::plsIsNeverWritten() {
    QTemporaryDir dir;
    PlaylistModel model;
    model.appendRow(rowFromName("/m/a.flac"));
    const QString target = dir.filePath("y.pls");
    QVERIFY(!SavePlayListFile(model, target));
    QVERIFY(!QFile::exists(target));
    QVERIFY(writeFile(target, "[playlist]\nFile1=old.ogg\n"));
    QVERIFY(!SavePlayListFile(model, target));
    QCOMPARE(readFile(target), QByteArray("[playlist]\nFile1=old.ogg\n"));
}

void TestPlaylistKinds::kindsOfEveryAddOperation() {
    for (const char* name : {"a.flac", "b.ogg", "c.oga", "d.opus", "E.FLAC", "f.Opus", "g.mp3",
                             "h.mp2", "i.mp1", "j.rmp", "k.wav"})
        QVERIFY2(PlaylistAdder::isAudioName(name), name);
    for (const char* name : {"a.m3u8", "a.pls", "a.m4a", "a.aac", "a.txt", "flac", "a.spx"})
        QVERIFY2(!PlaylistAdder::isAudioName(name), name);
    for (const char* name : {"a.m3u", "a.M3U8", "a.pls", "a.PLS"})
        QVERIFY2(isPlaylistName(name), name);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("x.m3u8"), "one.flac\n"));
    QVERIFY(writeFile(dir.filePath("x.pls"), "[playlist]\nFile1=two.opus\n"));
    // The command line and drops take the new kinds and expand both playlists.
    PlaylistModel model;
    PlaylistAdder adder(model, rowFromName);
    adder.AddDroppedFiles({"/m/a.flac", "/m/b.ogg", "/m/c.oga", "/m/d.opus", "/m/e.m4a",
                           dir.filePath("x.m3u8"), dir.filePath("x.pls")});
    QCOMPARE(model.paths(), (QStringList{"/m/a.flac", "/m/b.ogg", "/m/c.oga", "/m/d.opus",
                                         dir.filePath("one.flac"), dir.filePath("two.opus")}));
    QSignalSpy played(&adder, &PlaylistAdder::playRequested);
    adder.AddCommandLine("/m/x.opus " + dir.filePath("x.pls"), true, true);
    QCOMPARE(model.paths(), (QStringList{"/m/x.opus", dir.filePath("two.opus")}));
    QCOMPARE(played.size(), 1);
    QCOMPARE(played[0][0].toString(), QStringLiteral("/m/x.opus"));
    // The add dialog takes any name, and expands the playlists.
    PlaylistModel chosen;
    PlaylistAdder(chosen, rowFromName).addDialogSelection({"/m/e.m4a", dir.filePath("x.m3u8")});
    QCOMPARE(chosen.paths(), (QStringList{"/m/e.m4a", dir.filePath("one.flac")}));
}

QTEST_GUILESS_MAIN(TestPlaylistKinds)
#include "tst_playlist_kinds.moc"
