// Tags of FLAC, Ogg Vorbis and Opus files with Japanese values, written by the formats'
// own tools: the Vorbis comment (a FLAC without one: its ID3v2 tag) fills the extended
// fields, valid when any of them is there; the version 1 fields stay empty; the rows,
// the information lines, pelto-info tags and the row cache show them as they do for MP3.
#include "AudioTestFiles.h"
#include "PeltoInfo.h"
#include "XiphTestFiles.h"

#include "audio/FileInfoReader.h"
#include "playlist/RowFacts.h"
#include "playlist/RowFactsCache.h"
#include "taginfo/CurrentSong.h"
#include "taginfo/ExtTagInfo.h"
#include "taginfo/TagSource.h"

#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <utime.h>

using namespace pelto;
using namespace pelto::test;

namespace {

const QString kTitle = QStringLiteral("夜明けの歌");
const QString kArtist = QStringLiteral("山田 花子");
const QString kAlbum = QStringLiteral("日本の四季");
const QString kComment = QStringLiteral("コメントです");
const QString kGenre = QStringLiteral("演歌");
const QString kDate = QStringLiteral("2024-05-01");

// The encoder's options that write every field.
QStringList tagOptions(Xiph format) {
    switch (format) {
    case Xiph::Flac:
        return {"--tag=TITLE=" + kTitle,     "--tag=ARTIST=" + kArtist, "--tag=ALBUM=" + kAlbum,
                "--tag=COMMENT=" + kComment, "--tag=GENRE=" + kGenre,   "--tag=DATE=" + kDate,
                "--tag=TRACKNUMBER=3/12"};
    case Xiph::Vorbis:
        return {"-t", kTitle, "-a", kArtist, "-l", kAlbum, "-c", "COMMENT=" + kComment,
                "-G", kGenre, "-d", kDate,   "-N", "3/12"};
    case Xiph::Opus:
        return {"--title",   kTitle,
                "--artist",  kArtist,
                "--album",   kAlbum,
                "--comment", "COMMENT=" + kComment,
                "--genre",   kGenre,
                "--date",    kDate,
                "--comment", "TRACKNUMBER=3/12"};
    }
    return {};
}

// An ID3v2.4 tag put before the file by mutagen, with UTF-8 texts.
bool prependId3v2(const QString& path, const QString& title, const QString& artist) {
    // Debian's python3, which has python3-mutagen.
    return runTool("/usr/bin/python3", {"-c",
                                        "import sys\n"
                                        "from mutagen.id3 import ID3, TIT2, TPE1\n"
                                        "t = ID3()\n"
                                        "t.add(TIT2(encoding=3, text=sys.argv[2]))\n"
                                        "t.add(TPE1(encoding=3, text=sys.argv[3]))\n"
                                        "t.save(sys.argv[1], v2_version=4)\n",
                                        path, title, artist});
}

} // namespace

class TestXiphTags : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFieldInEveryFormat_data();
    void everyFieldInEveryFormat();
    void descriptionStandsInForComment();
    void flacFallsBackToItsId3v2Tag();
    void noFieldsNoTag();
    void rowCacheKeepsThem();

private:
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QString m_wave;
    QTemporaryDir m_dir;
};

void TestXiphTags::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_wave = file("source.wav");
    QVERIFY(makeSourceWave(m_wave, 44100, 2, 16, 2.5));
}

void TestXiphTags::everyFieldInEveryFormat_data() {
    QTest::addColumn<Xiph>("format");
    QTest::addColumn<QString>("source");
    QTest::newRow("FLAC") << Xiph::Flac << "xiph";
    QTest::newRow("Ogg Vorbis") << Xiph::Vorbis << "xiph";
    QTest::newRow("Opus") << Xiph::Opus << "xiph";
}

void TestXiphTags::everyFieldInEveryFormat() {
    QFETCH(Xiph, format);
    QFETCH(QString, source);
    const QString path = file(QStringLiteral("曲") + extensionOf(format));
    QVERIFY(encode(format, m_wave, path, tagOptions(format)));

    ExtTagInfo ext;
    QCOMPARE(ReadExtTag(ext, path), 1);
    QCOMPARE(ext.Title, kTitle);
    QCOMPARE(ext.Artist, kArtist);
    QCOMPARE(ext.Album, kAlbum);
    QCOMPARE(ext.Comment, kComment);
    QCOMPARE(ext.Genre, kGenre);
    QCOMPARE(ext.Date, kDate);
    QCOMPARE(ext.Track, QStringLiteral("3")); // "3/12" cut as for MP3
    // No version 1 tag.
    const FileInfo info = readFileInfo(path);
    QVERIFY(info.tag.Title.isEmpty() && info.tag.Artist.isEmpty() && info.tag.Album.isEmpty());
    QCOMPARE(info.TotalSec, 2);

    // The row.
    const PlaylistRow row = makePlaylistRow(path);
    QCOMPARE(row.title, kTitle);
    QCOMPARE(row.artist, kArtist);
    QCOMPARE(row.length, QStringLiteral("00:02"));

    // pelto-info tags: the engine's facts, the extended fields, the row and the
    // information lines of a format that names every extended field.
    const InfoRun run = peltoInfo(
        {"tags", "--format", "%a / %b / %c", "--format", "%d %e %f", "--format", "%1", path});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject line = run.object();
    QCOMPARE(line["opens"].toBool(), true);
    QCOMPARE(line["length"].toString(), QStringLiteral("00:02"));
    QCOMPARE(line["title"].toString(), kTitle);
    QCOMPARE(line["artist"].toString(), kArtist);
    const QJsonObject tags = line["ext"].toObject();
    QCOMPARE(tags["valid"].toInt(), 1);
    QCOMPARE(tags["source"].toString(), source);
    QCOMPARE(tags["Title"].toString(), kTitle);
    QCOMPARE(tags["Genre"].toString(), kGenre);
    QCOMPARE(tags["Track"].toString(), QStringLiteral("3"));
    QCOMPARE(line["id3"].toObject()["Title"].toString(), QString());
    const QJsonArray lines = line["lines"].toArray();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0].toString(), kTitle + " / " + kArtist + " / " + kAlbum);
    QCOMPARE(lines[1].toString(), kComment + " " + kDate + " " + kGenre);
    QCOMPARE(lines[2].toString(), QString()); // the version 1 title: none
}

void TestXiphTags::descriptionStandsInForComment() {
    const QString path = file("description.flac");
    QVERIFY(encode(Xiph::Flac, m_wave, path, {"--tag=DESCRIPTION=説明", "--tag=TITLE=題"}));
    ExtTagInfo ext;
    QCOMPARE(ReadExtTag(ext, path), 1);
    QCOMPARE(ext.Comment, QStringLiteral("説明"));
    // COMMENT wins when both are there.
    QVERIFY(encode(Xiph::Flac, m_wave, path, {"--tag=DESCRIPTION=説明", "--tag=COMMENT=注"}));
    QCOMPARE(ReadExtTag(ext, path), 1);
    QCOMPARE(ext.Comment, QStringLiteral("注"));
    QVERIFY(ext.Title.isEmpty());
}

void TestXiphTags::flacFallsBackToItsId3v2Tag() {
    // A FLAC whose Vorbis comment holds only the encoder's vendor text.
    const QString path = file("id3.flac");
    QVERIFY(encode(Xiph::Flac, m_wave, path));
    QVERIFY(prependId3v2(path, QStringLiteral("ID3の題"), QStringLiteral("ID3の歌手")));
    ExtTagInfo ext;
    QCOMPARE(ReadExtTag(ext, path), 1);
    QCOMPARE(ext.Title, QStringLiteral("ID3の題"));
    QCOMPARE(ext.Artist, QStringLiteral("ID3の歌手"));
    TagSource source;
    QVERIFY(source.load(path));
    QCOMPARE(source.type(), TagSource::FileType::Flac);
    QCOMPARE(extTagSuffix(source), QStringLiteral("v2"));
    QCOMPARE(makePlaylistRow(path).title, QStringLiteral("ID3の題"));
    QCOMPARE(readFileInfo(path).TotalSec, 2); // still plays, after the tag
    // With both, the Vorbis comment wins.
    const QString both = file("both.flac");
    QVERIFY(encode(Xiph::Flac, m_wave, both, {"--tag=TITLE=" + kTitle}));
    QVERIFY(prependId3v2(both, QStringLiteral("ID3の題"), QStringLiteral("ID3の歌手")));
    QCOMPARE(ReadExtTag(ext, both), 1);
    QCOMPARE(ext.Title, kTitle);
    QVERIFY(ext.Artist.isEmpty());
}

void TestXiphTags::noFieldsNoTag() {
    // Each encoder writes its vendor (and Opus an ENCODER field): none of the seven.
    for (const Xiph format : {Xiph::Flac, Xiph::Vorbis, Xiph::Opus}) {
        const QString path = file(QStringLiteral("bare") + extensionOf(format));
        QVERIFY(encode(format, m_wave, path));
        ExtTagInfo ext;
        QCOMPARE(ReadExtTag(ext, path), 0);
        TagSource source;
        QVERIFY(source.load(path));
        QCOMPARE(source.tagTypes(), 0);
        // The row is named after the file, as for an MP3 without tags.
        QCOMPARE(makePlaylistRow(path).title, QStringLiteral("bare"));
        QCOMPARE(peltoInfo({"tags", path}).object()["ext"].toObject()["valid"].toInt(), 0);
    }
}

void TestXiphTags::rowCacheKeepsThem() {
    const QString path = file("cached.opus");
    QVERIFY(encode(Xiph::Opus, m_wave, path, tagOptions(Xiph::Opus)));
    // A file changed in the last seconds is not kept: this one is a day old.
    const utimbuf old{time(nullptr) - 86400, time(nullptr) - 86400};
    QVERIFY(::utime(QFile::encodeName(path).constData(), &old) == 0);
    const QString cacheFile = file("Pelto.rowcache");
    {
        RowFactsCache cache;
        QCOMPARE(cache.row(path).title, kTitle);
        QVERIFY(cache.save(cacheFile));
    }
    int reads = 0;
    RowFactsCache cache([&](const QString& p) {
        ++reads;
        return makePlaylistRow(p);
    });
    QVERIFY(cache.load(cacheFile));
    const PlaylistRow row = cache.row(path);
    QCOMPARE(reads, 0);
    QCOMPARE(row.title, kTitle);
    QCOMPARE(row.artist, kArtist);
    QCOMPARE(row.length, QStringLiteral("00:02"));
}

QTEST_GUILESS_MAIN(TestXiphTags)
#include "tst_xiph_tags.moc"
