// Reading and saving M3U playlists: the path rules in both syntaxes, line ends,
// encodings, hostile input, and saves that fail without losing anything.
#include "TestFiles.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistModel.h"
#include "playlist/RowFacts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace pelto;

namespace {

using test::readFile;
using test::writeFile;

PlaylistRow rowFromName(const QString& path) {
    return playlistRowFromFacts(path, {}, {}, 0);
}

void fill(PlaylistModel& model, const QStringList& paths) {
    for (const QString& p : paths)
        model.appendRow(rowFromName(p));
}

} // namespace

class TestPlaylistFile : public QObject {
    Q_OBJECT
private slots:
    void windowsFormReading();
    void windowsFormSaving();
    void posixReadingRules();
    void lineEndsAndEncodings();
    void hostileInput();
    void missingOrNotAFile();
    void largeFileReadInBatches();
    void saveWritesUtf8CrLfAndReadsBack();
    void saveKeepsNamesThatLookLikeComments();
    void failedSaveKeepsOldFileAndRows_fileSizeLimit();
    void failedSaveKeepsOldFileAndRows_readOnlyOrFullFolder();
    void failedSaveToMissingFolder();
};

void TestPlaylistFile::windowsFormReading() {
    const PathSyntax win = PathSyntax::windows();
    const QByteArray bytes = "a.mp3\r\n\\Music\\b.mp3\r\nD:\\c.wav\r\nsub\\d.mp3\r\n"
                             "#EXTINF:123,Title\r\n#EXTM3U\r\n";
    QCOMPARE(parsePlaylistBytes(bytes, "C:\\Lists\\x.m3u", win),
             QStringList({"C:\\Lists\\a.mp3", "C:\\Music\\b.mp3", "D:\\c.wav", "sub\\d.mp3"}));
    // A playlist in a drive's root joins bare names to the root.
    QCOMPARE(parsePlaylistBytes("a.mp3", "C:\\x.m3u", win), QStringList({"C:\\a.mp3"}));
    // A folder that equals the drive (the only separator is the second character)
    // counts as none.
    QCOMPARE(parsePlaylistBytes("b.mp3", "a\\x.m3u", win), QStringList({"b.mp3"}));
    // Lines keep their spaces.
    QCOMPARE(parsePlaylistBytes(" a.mp3 \r\n", "C:\\L\\x.m3u", win),
             QStringList({"C:\\L\\ a.mp3 "}));
}

void TestPlaylistFile::windowsFormSaving() {
    const PathSyntax win = PathSyntax::windows();
    QCOMPARE(playlistFileLines({"C:\\Lists\\a.mp3", "C:\\Music\\b.mp3", "D:\\c.wav"},
                               "C:\\Lists\\y.m3u", win),
             QStringList({"a.mp3", "\\Music\\b.mp3", "D:\\c.wav"}));
    // Comparisons are exact: a different letter case is another folder and drive.
    QCOMPARE(playlistFileLines({"c:\\lists\\a.mp3"}, "C:\\Lists\\y.m3u", win),
             QStringList({"c:\\lists\\a.mp3"}));
    // Same first three characters but no drive mark: written whole.
    QCOMPARE(playlistFileLines({"ab\\c\\d.mp3"}, "ab\\y.m3u", win), QStringList({"ab\\c\\d.mp3"}));
    // Every line written reads back to its row's path while the file stays put.
    const QStringList rows = {"C:\\Lists\\a.mp3", "C:\\Lists\\sub\\e.mp3", "C:\\Music\\b.mp3",
                              "D:\\c.wav", "C:\\Lists\\#1.mp3"};
    const QString target = "C:\\Lists\\y.m3u";
    const QByteArray saved =
        QStringList(playlistFileLines(rows, target, win)).join("\r\n").toUtf8();
    QCOMPARE(parsePlaylistBytes(saved, target, win), rows);
}

void TestPlaylistFile::posixReadingRules() {
    const QByteArray bytes = "a.mp3\n/music/b.mp3\nsub/d.mp3\n#EXTINF:1,T\n\n  spaced.mp3  \n"
                             "#/not/this.mp3\nno-extension\n";
    QCOMPARE(parsePlaylistBytes(bytes, "/lists/x.m3u"),
             QStringList({"/lists/a.mp3", "/music/b.mp3", "sub/d.mp3", "/lists/  spaced.mp3  ",
                          "/lists/no-extension"}));
    // A playlist named without a folder leaves bare names as they are.
    QCOMPARE(parsePlaylistBytes("a.mp3", "x.m3u"), QStringList({"a.mp3"}));
    QCOMPARE(parsePlaylistBytes("a.mp3", "/x.m3u"), QStringList({"/a.mp3"}));
}

void TestPlaylistFile::lineEndsAndEncodings() {
    // CR LF, LF and lone CR all end lines; the last line needs no end; blank lines go.
    QCOMPARE(parsePlaylistBytes("a.mp3\r\nb.mp3\nc.mp3\rd.mp3\r\n\r\n\n\re.mp3", "/l/x.m3u"),
             QStringList({"/l/a.mp3", "/l/b.mp3", "/l/c.mp3", "/l/d.mp3", "/l/e.mp3"}));
    // UTF-8, with and without a byte order mark.
    const QString name = QStringLiteral("曲ｱｲｳ～.mp3");
    QCOMPARE(parsePlaylistBytes(name.toUtf8(), "/l/x.m3u"), QStringList({"/l/" + name}));
    QCOMPARE(parsePlaylistBytes("\xEF\xBB\xBF" + name.toUtf8(), "/l/x.m3u"),
             QStringList({"/l/" + name}));
    // CP932 written by older tools, including half-width katakana that would pass
    // for UTF-8 on its own ("ﾃｨ" is C3 A8).
    QStringEncoder cp932("CP932");
    const QString kana = QStringLiteral("ﾃｨ曲.mp3");
    const QByteArray legacy = cp932.encode(kana + "\r\n" + name);
    QCOMPARE(parsePlaylistBytes(legacy, "/l/x.m3u"), QStringList({"/l/" + kana, "/l/" + name}));
}

void TestPlaylistFile::hostileInput() {
    // NUL bytes: a line ends where the file system would end the name.
    QCOMPARE(parsePlaylistBytes(QByteArray("a\0b.mp3\n\0junk\nc.mp3", 20), "/l/x.m3u"),
             QStringList({"/l/a", "/l/c.mp3"}));
    // Bytes that are neither UTF-8 nor CP932 still give one entry per line.
    const QStringList bad = parsePlaylistBytes("\xFF\xFE\x80.mp3\n\xA0\xFD\n", "/l/x.m3u");
    QCOMPARE(bad.size(), 2);
    QVERIFY(bad[0].startsWith("/l/") && bad[0].endsWith(".mp3"));
    // 100,000 lines.
    QByteArray many;
    for (int i = 0; i < 100000; ++i)
        many += "song" + QByteArray::number(i) + ".mp3\r\n";
    const QStringList entries = parsePlaylistBytes(many, "/l/x.m3u");
    QCOMPARE(entries.size(), 100000);
    QCOMPARE(entries.last(), QStringLiteral("/l/song99999.mp3"));
    // A 100 kB line, and a 100 kB line of separators only.
    const QByteArray longLine(100 * 1024, 'x');
    QCOMPARE(parsePlaylistBytes(longLine, "/l/x.m3u").value(0).size(), 100 * 1024 + 3);
    QCOMPARE(parsePlaylistBytes(QByteArray(100 * 1024, '\r'), "/l/x.m3u"), QStringList());
}

void TestPlaylistFile::missingOrNotAFile() {
    QTemporaryDir dir;
    QVERIFY(ReadPlayListFile(dir.filePath("missing.m3u")).isEmpty());
    QVERIFY(QDir(dir.path()).mkdir("folder.m3u"));
    QVERIFY(ReadPlayListFile(dir.filePath("folder.m3u")).isEmpty());
    QVERIFY(ReadPlayListFile("/dev/zero").isEmpty());
    QVERIFY(writeFile(dir.filePath("empty.m3u"), {}));
    QVERIFY(ReadPlayListFile(dir.filePath("empty.m3u")).isEmpty());
}

void TestPlaylistFile::largeFileReadInBatches() {
    // A file of several read blocks: every line end, comments, blank lines, a line
    // longer than a block, and (in the second file) one byte that is not UTF-8 near the
    // end, which makes the whole file CP932. Read a few entries at a time, it gives
    // exactly what the whole bytes give.
    QTemporaryDir dir;
    QByteArray utf8;
    const QByteArray ends[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 60000; ++i) {
        utf8 += i % 50 == 0 ? QByteArray("# comment")
                            : QStringLiteral("フォルダ %1/曲 %2.mp3").arg(i / 12).arg(i).toUtf8();
        utf8 += ends[i % 3];
        if (i == 30000)
            utf8 += QByteArray(1536 * 1024, 'x') + "\n\n";
    }
    QByteArray cp932 = utf8;
    cp932.insert(cp932.lastIndexOf('\n', cp932.size() - 100) + 1, "\x83\x65.mp3\r\n");
    for (const QByteArray& bytes : {utf8, cp932}) {
        const QString path = dir.filePath("big.m3u");
        QVERIFY(writeFile(path, bytes));
        const QStringList whole = parsePlaylistBytes(bytes, path);
        PlaylistFileReader reader(path);
        QCOMPARE(reader.lineCount(), whole.size() + 60000 / 50);
        QStringList batches;
        QStringList batch;
        while (reader.read(batch, 977)) {
            QVERIFY(batch.size() <= 977);
            batches += batch;
            batch.clear();
        }
        QCOMPARE(batches.size(), whole.size());
        QVERIFY(batches == whole);
        QCOMPARE(ReadPlayListFile(path), whole);
    }
    QVERIFY(parsePlaylistBytes(cp932, "/l.m3u").contains(QStringLiteral("/テ.mp3")));
}

void TestPlaylistFile::saveWritesUtf8CrLfAndReadsBack() {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    const QStringList rows = {folder + "a.mp3", "/elsewhere/b.mp3", folder + "sub/c.mp3",
                              folder + QStringLiteral("曲 名.wav"), folder + "a.mp3"};
    PlaylistModel model;
    fill(model, rows);
    model.SetPlayListColor();
    model.setSelected(2, true);
    const QString target = folder + "y.m3u";
    QVERIFY(SavePlayListFile(model, target));
    QCOMPARE(readFile(target), QByteArray("a.mp3\r\n/elsewhere/b.mp3\r\n") + folder.toUtf8() +
                                   "sub/c.mp3\r\n" + QStringLiteral("曲 名.wav").toUtf8() +
                                   "\r\na.mp3\r\n");
    QCOMPARE(ReadPlayListFile(target), rows);
    // Saving leaves the rows as they were.
    QCOMPARE(model.paths(), rows);
    QVERIFY(model.isHighlighted(1) && model.isSelected(2));

    // An empty playlist gives an empty file; a name without ".m3u" is used as given,
    // and the add operations do not take it for a playlist.
    PlaylistModel empty;
    QVERIFY(SavePlayListFile(empty, target));
    QVERIFY(QFile::exists(target));
    QCOMPARE(readFile(target), QByteArray());
    QVERIFY(SavePlayListFile(model, folder + "list.txt"));
    QVERIFY(QFile::exists(folder + "list.txt"));
    PlaylistModel dropped;
    PlaylistAdder(dropped, rowFromName).AddDroppedFiles({folder + "list.txt"});
    QCOMPARE(dropped.count(), 0);
}

void TestPlaylistFile::saveKeepsNamesThatLookLikeComments() {
    // A bare "#..." name would read back as a comment and the row would be lost; a
    // first name that begins with a byte order mark would lose the mark.
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    PlaylistModel model;
    fill(model,
         {folder + QChar(0xFEFF) + "odd.mp3", folder + "#1 hit.mp3", folder + "plain.mp3", folder});
    QVERIFY(SavePlayListFile(model, folder + "y.m3u"));
    QCOMPARE(ReadPlayListFile(folder + "y.m3u"), model.paths());
}

void TestPlaylistFile::failedSaveKeepsOldFileAndRows_fileSizeLimit() {
    // A file size limit makes writes fail part way, as a full disk does.
    QTemporaryDir dir;
    const QString target = dir.filePath("y.m3u");
    QVERIFY(writeFile(target, "old.mp3\r\n"));
    PlaylistModel model;
    QStringList rows;
    for (int i = 0; i < 2000; ++i)
        rows << QStringLiteral("/music/a long folder name/track %1.mp3").arg(i);
    fill(model, rows);

    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const bool saved = SavePlayListFile(model, target);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!saved);
    QCOMPARE(readFile(target), QByteArray("old.mp3\r\n"));
    QCOMPARE(model.paths(), rows);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"y.m3u"}));
}

void TestPlaylistFile::failedSaveKeepsOldFileAndRows_readOnlyOrFullFolder() {
    // A read-only folder, and a folder on a file system too small for the list. The
    // superuser ignores folder permissions, so there both are small tmpfs mounts.
    QTemporaryDir dir;
    const QString ro = dir.filePath("ro");
    const QString full = dir.filePath("full");
    QVERIFY(QDir().mkpath(ro) && QDir().mkpath(full));
    QVERIFY(writeFile(ro + "/y.m3u", "old.mp3\r\n"));
    const bool root = geteuid() == 0;
    if (root) {
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16k", "tmpfs", full}) != 0)
            QSKIP("cannot mount a tmpfs here");
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16k", "tmpfs", ro}) != 0) {
            QProcess::execute("umount", {full});
            QSKIP("cannot mount a tmpfs here");
        }
        QVERIFY(writeFile(ro + "/y.m3u", "old.mp3\r\n"));
        QVERIFY(QProcess::execute("mount", {"-o", "remount,ro", ro}) == 0);
    } else {
        QVERIFY(QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner));
    }
    QVERIFY(writeFile(full + "/y.m3u", "old.mp3\r\n"));

    PlaylistModel model;
    QStringList rows;
    for (int i = 0; i < 1000; ++i)
        rows << QStringLiteral("/music/track %1.mp3").arg(i);
    fill(model, rows);
    const bool savedRo = SavePlayListFile(model, ro + "/y.m3u");
    const bool savedFull = root ? SavePlayListFile(model, full + "/y.m3u") : false;
    const QByteArray roAfter = readFile(ro + "/y.m3u");
    const QByteArray fullAfter = readFile(full + "/y.m3u");
    if (root) {
        QProcess::execute("umount", {ro});
        QProcess::execute("umount", {full});
    } else {
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QVERIFY(!savedRo);
    QVERIFY(!savedFull);
    QCOMPARE(roAfter, QByteArray("old.mp3\r\n"));
    QCOMPARE(fullAfter, QByteArray("old.mp3\r\n"));
    QCOMPARE(model.paths(), rows);
}

void TestPlaylistFile::failedSaveToMissingFolder() {
    QTemporaryDir dir;
    PlaylistModel model;
    fill(model, {"/a.mp3"});
    QVERIFY(!SavePlayListFile(model, dir.filePath("no/such/folder/y.m3u")));
    QVERIFY(writeFile(dir.filePath("file"), "x"));
    QVERIFY(!SavePlayListFile(model, dir.filePath("file/y.m3u")));
    QCOMPARE(model.count(), 1);
}

QTEST_GUILESS_MAIN(TestPlaylistFile)
#include "tst_playlist_file.moc"
