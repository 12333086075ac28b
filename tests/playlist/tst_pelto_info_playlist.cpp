// pelto-info for playlist authors: m3u gives the resolved entries of a playlist as
// one JSON line; tags shows the title and artist cells a file's row gets.
#include "PeltoInfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class TestPeltoInfoPlaylist : public QObject {
    Q_OBJECT
private slots:
    void entriesInOrder();
    void tagsShowRowCells();
};

namespace {

using pelto::test::InfoRun;
using pelto::test::peltoInfo;

QStringList entriesOf(const QByteArray& line) {
    QStringList list;
    for (const QJsonValue& v : QJsonDocument::fromJson(line).object().value("entries").toArray())
        list << v.toString();
    return list;
}

} // namespace

void TestPeltoInfoPlaylist::entriesInOrder() {
    QTemporaryDir dir;
    const QString list = dir.filePath("x.m3u");
    QFile f(list);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        QStringLiteral("a.mp3\r\n#EXTINF:1,T\r\n/abs/b.mp3\r\n\r\nsub/曲.wav\rlast.mp3").toUtf8());
    f.close();
    const InfoRun run = peltoInfo({"m3u", list});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.count('\n'), 1);
    QCOMPARE(entriesOf(run.out),
             QStringList({dir.filePath("a.mp3"), "/abs/b.mp3", QStringLiteral("sub/曲.wav"),
                          dir.filePath("last.mp3")}));
    // A missing file is an empty list, not an error; a missing argument is.
    const InfoRun missing = peltoInfo({"m3u", dir.filePath("none.m3u")});
    QCOMPARE(missing.exitCode, 0);
    QCOMPARE(entriesOf(missing.out), QStringList());
    QCOMPARE(peltoInfo({"m3u"}).exitCode, 2);
}

void TestPeltoInfoPlaylist::tagsShowRowCells() {
    const QString fixtures = QStringLiteral(PELTO_SOURCE_DIR "/tests/taginfo/fixtures/");
    const InfoRun run = peltoInfo({"tags", fixtures + "mutagen_sjis.mp3",
                                   fixtures + "id3v1_sjis.mp3", fixtures + "plain.mp3"});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    const auto cell = [&](int i, const char* key) {
        return QJsonDocument::fromJson(lines[i]).object().value(key).toString();
    };
    // The extended title trimmed; the version 1 tag; the file name.
    QCOMPARE(cell(0, "title"), QStringLiteral("ライブ"));
    QCOMPARE(cell(0, "artist"), QStringLiteral("表示"));
    QCOMPARE(cell(1, "title"), QStringLiteral("朝の歌"));
    QCOMPARE(cell(1, "artist"), QStringLiteral("小鳥たち"));
    QCOMPARE(cell(2, "title"), QStringLiteral("plain"));
    QCOMPARE(cell(2, "artist"), QString());
}

QTEST_GUILESS_MAIN(TestPeltoInfoPlaylist)
#include "tst_pelto_info_playlist.moc"
