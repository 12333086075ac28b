// pelto-info tags and format as a skin author sees them: the extended fields of files
// tagged by independent tools in every text encoding, and formatted lines.
#include "PeltoInfo.h"
#include "taginfo/ExtTagInfo.h"
#include "taginfo/TagSource.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

namespace {

const QString kFixtures = QStringLiteral(PELTO_SOURCE_DIR "/tests/taginfo/fixtures/");

// Runs pelto-info and returns its JSON lines; an exit code other than the expected one
// gives no lines at all, so the comparisons that follow fail.
QList<QJsonObject> runTool(const QStringList& args, int expectedExit = 0) {
    const pelto::test::InfoRun run = pelto::test::peltoInfo(args, 60000);
    if (run.exitCode != expectedExit) {
        qWarning("pelto-info %s failed: %s", qPrintable(args.join(' ')), run.err.constData());
        return {QJsonObject{{"failed", true}}};
    }
    return run.lines();
}

QStringList extFields(const QJsonObject& line) {
    const QJsonObject ext = line.value("ext").toObject();
    QStringList values{ext.value("source").toString()};
    for (const char* key : {"Title", "Artist", "Album", "Comment", "Genre", "Date", "Track"})
        values.append(ext.value(QLatin1String(key)).toString());
    return values;
}

} // namespace

class TestInfoTaginfo : public QObject {
    Q_OBJECT
private slots:
    // The tool reports what the library reads, for files tagged by every tool and in
    // every encoding (the library's own test checks the texts themselves).
    void tagsOfToolTaggedFiles() {
        const QStringList files = QDir(kFixtures).entryList(QDir::Files, QDir::Name);
        QStringList args = {"tags", "--format", "%+(%a,%1) - %+(%b,%2)", "--format", "[%g]"};
        for (const QString& f : files)
            args.append(kFixtures + f);
        const QList<QJsonObject> lines = runTool(args);
        QCOMPARE(lines.size(), files.size());
        QMap<QString, QJsonObject> byName;
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QString path = kFixtures + files[i];
            QCOMPARE(lines[i].value("path").toString(), path);
            pelto::ExtTagInfo ext;
            const int valid = pelto::ReadExtTag(ext, path);
            pelto::TagSource source;
            source.load(path);
            const QString suffix = valid ? pelto::extTagSuffix(source) : QString();
            QCOMPARE(extFields(lines[i]),
                     QStringList({suffix, ext.Title, ext.Artist, ext.Album, ext.Comment, ext.Genre,
                                  ext.Date, ext.Track}));
            QCOMPARE(lines[i].value("ext").toObject().value("valid").toInt(), valid);
            byName.insert(files[i], lines[i]);
        }
        // The lines take the extended fields while they are valid, else the version 1 tag
        // (here Shift-JIS written by id3v2).
        const auto formatted = [&](const char* name) {
            return byName.value(name).value("lines").toArray().toVariantList();
        };
        QCOMPARE(formatted("id3v2_sjis.mp3"),
                 QVariantList({"ｱｻﾉｳﾀ 朝の歌 - 小鳥たち", "[id3v2_sjis]"}));
        QCOMPARE(formatted("riff_sif.rmp"), QVariantList({"包まれた歌 - リフ", "[riff_sif]"}));
        QCOMPARE(formatted("id3v1_sjis.mp3"), QVariantList({"朝の歌 - 小鳥たち", "[id3v1_sjis]"}));
        QCOMPARE(formatted("v22.mp3"), QVariantList({"古い形式 - 作者", "[v22]"}));
    }

    void formatOfAMadeUpSong() {
        const QString song = QStringLiteral(
            R"({"ID3TagInfo": {"Title": "Morning Song", "Artist": "The Birds",
                "Album": "First Album", "Comment": "Demo", "Year": "2001", "GenreName": "Pop"},
                "ExtTagInfo": {"Title": "Stale"}, "ExtTagValid": 0,
                "DmyFileName": "/Music/Morning Song.mp3", "TotalSec": 245})");
        const QStringList formats = {"%4%-(%4,%-(%3, - ))%3", "%+(%a,%g)", "%1 [%h]", "%%1"};
        const QList<QJsonObject> lines = runTool(QStringList{"format", "--song", song} + formats);
        const QStringList results = {"Demo - First Album", "Morning Song", "Morning Song [04:05]",
                                     "%Morning Song"};
        QCOMPARE(lines.size(), formats.size());
        for (qsizetype i = 0; i < formats.size(); ++i) {
            QCOMPARE(lines[i].value("format").toString(), formats[i]);
            QCOMPARE(lines[i].value("result").toString(), results[i]);
        }
        // Without a song every key is empty or 0.
        QCOMPARE(runTool({"format", "<%1%h%g>"}).value(0).value("result").toString(),
                 QStringLiteral("<00:00>"));
        // Wrong arguments are the only failure.
        QVERIFY(runTool({"format", "--song", "{not json", "%1"}, 2).isEmpty());
        QVERIFY(runTool({"format"}, 2).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestInfoTaginfo)
#include "tst_info_taginfo.moc"
