// Rows made from real files: the tag reader and the audio engine run for real over
// tagged fixtures and a Wave file written here.
#include "TestWave.h"
#include "common/FileNames.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistModel.h"
#include "playlist/RowFacts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace pelto;

namespace {

const QString kTagFixtures = QStringLiteral(PELTO_SOURCE_DIR "/tests/taginfo/fixtures/");

using test::writeSilentWave;

} // namespace

class TestPlaylistRows : public QObject {
    Q_OBJECT
private slots:
    void rowsFromTaggedFiles_data();
    void rowsFromTaggedFiles();
    void lengthOfALongerFile();
    void batchOfRealFilesMatchesOneByOne();
    void namesThatAreNotUtf8();
};

void TestPlaylistRows::rowsFromTaggedFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("artist");
    // The version 2 tag wins over the version 1 tag ("???" there).
    QTest::newRow("v2 over v1") << "lame_utf16.mp3"
                                << "朝の歌"
                                << "小鳥たち";
    // Only a version 1 tag, in Shift-JIS.
    QTest::newRow("v1 only") << "id3v1_sjis.mp3"
                             << "朝の歌"
                             << "小鳥たち";
    // Spaces around the extended title go.
    QTest::newRow("trimmed") << "mutagen_sjis.mp3"
                             << "ライブ"
                             << "表示";
    // No tag at all: the file name, no artist.
    QTest::newRow("untagged") << "plain.mp3"
                              << "plain"
                              << "";
    // A file that does not exist still gets a row.
    QTest::newRow("missing") << "no such.file.mp3"
                             << "no such.file"
                             << "";
}

void TestPlaylistRows::rowsFromTaggedFiles() {
    QFETCH(QString, file);
    const PlaylistRow row = makePlaylistRow(kTagFixtures + file);
    QTEST(row.title, "title");
    QTEST(row.artist, "artist");
    QCOMPARE(row.length, QStringLiteral("00:00"));
    QCOMPARE(row.path, kTagFixtures + file);
}

void TestPlaylistRows::lengthOfALongerFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.wav");
    QVERIFY(writeSilentWave(path, 125));
    const PlaylistRow row = makePlaylistRow(path);
    QCOMPARE(row.length, QStringLiteral("02:05"));
    QCOMPARE(row.title, QStringLiteral("long"));
}

void TestPlaylistRows::batchOfRealFilesMatchesOneByOne() {
    QStringList paths;
    const QStringList names = QDir(kTagFixtures).entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() > 5);
    for (int round = 0; round < 10; ++round)
        for (const QString& n : names)
            paths << kTagFixtures + n;
    PlaylistModel batch, oneByOne;
    PlaylistAdder(batch).addPlayListItems(paths);
    PlaylistAdder single(oneByOne);
    for (const QString& p : paths)
        single.AddPlayListItem(p);
    QCOMPARE(batch.count(), paths.size());
    for (int i = 1; i <= batch.count(); ++i) {
        QCOMPARE(batch.row(i).title, oneByOne.row(i).title);
        QCOMPARE(batch.row(i).artist, oneByOne.row(i).artist);
        QCOMPARE(batch.row(i).length, oneByOne.row(i).length);
        QCOMPARE(batch.row(i).path, paths[i - 1]);
    }
}

void TestPlaylistRows::namesThatAreNotUtf8() {
    // Songs whose names are bytes from old disks, listed in a playlist that a Linux
    // tool wrote (each name's own bytes) beside lines of an old CP932 list: each line
    // names the file that exists, the songs open, and a save writes every name back
    // with the bytes it has on the disk.
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const QByteArray latin1 = "caf\xE9.wav";                    // not CP932 either
    const QByteArray shiftJis = "\x83\x65\x83\x58\x83\x67.wav"; // "テスト" in CP932
    const QByteArray utf8 = "\xE6\x9B\xB2.wav";                 // "曲"
    const QByteArray kana = "\xEF\xBE\x83\xEF\xBD\xA8.wav";     // "ﾃｨ" in UTF-8
    // Qt would write them under other names, and cannot name them to remove them with
    // the folder; the bytes go to the system as they are.
    const auto removeNames = qScopeGuard([&] {
        for (const QByteArray& name : {latin1, shiftJis})
            ::unlink((folder + name).constData());
    });
    for (const QByteArray& name : {latin1, shiftJis, utf8, kana}) {
        QVERIFY(writeSilentWave(dir.filePath("song.wav"), 1));
        QCOMPARE(::rename((folder + "song.wav").constData(), (folder + name).constData()), 0);
    }
    // "ﾃｨ" in CP932 is C3 A8, which also reads as UTF-8 ("è"); "ア" (83 41) and "曲x"
    // name no file.
    const QByteArray lines[] = {latin1,         shiftJis,       utf8,
                                "\xC3\xA8.wav", "\x83\x41.wav", "\xE6\x9B\xB2x.wav"};
    const QByteArray onDisk[] = {latin1, shiftJis,           utf8,
                                 kana,   "\xE3\x82\xA2.wav", "\xE6\x9B\xB2x.wav"};
    QByteArray list;
    for (const QByteArray& line : lines)
        list += line + "\r\n";
    QFile m3u(decodeFileName(folder + "list.m3u"));
    QVERIFY(m3u.open(QIODevice::WriteOnly) && m3u.write(list) == list.size());
    m3u.close();

    PlaylistModel model;
    PlaylistAdder(model).AddDroppedFiles({m3u.fileName()});
    QCOMPARE(model.count(), 6);
    QByteArray saved;
    for (int i = 1; i <= 6; ++i) {
        QCOMPARE(encodeFileName(model.path(i)), folder + onDisk[i - 1]);
        QCOMPARE(model.row(i).length, QString(i <= 4 ? "00:01" : "00:00"));
        saved += onDisk[i - 1] + "\r\n";
    }
    QVERIFY(SavePlayListFile(model, m3u.fileName()));
    QVERIFY(m3u.open(QIODevice::ReadOnly));
    QCOMPARE(m3u.readAll(), saved);
    QCOMPARE(ReadPlayListFile(m3u.fileName()), model.paths());
}

QTEST_GUILESS_MAIN(TestPlaylistRows)
#include "tst_playlist_rows.moc"
