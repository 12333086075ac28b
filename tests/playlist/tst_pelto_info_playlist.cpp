// pelto-info m3u: the resolved entries of a playlist as one JSON line.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestPeltoInfoM3u : public QObject {
    Q_OBJECT
private slots:
    void entriesInOrder();
};

namespace {

struct Run {
    int exitCode;
    QByteArray out;
};

Run peltoInfo(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PELTO_BINARY_DIR "/pelto-info"), args);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput()};
}

QStringList entriesOf(const QByteArray& line) {
    QStringList list;
    for (const QJsonValue& v : QJsonDocument::fromJson(line).object().value("entries").toArray())
        list << v.toString();
    return list;
}

} // namespace

void TestPeltoInfoM3u::entriesInOrder() {
    QTemporaryDir dir;
    const QString list = dir.filePath("x.m3u");
    QFile f(list);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("a.mp3\r\n#EXTINF:1,T\r\n/abs/b.mp3\r\n\r\nsub/曲.wav\rlast.mp3")
                .toUtf8());
    f.close();
    const Run run = peltoInfo({"m3u", list});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.count('\n'), 1);
    QCOMPARE(entriesOf(run.out), QStringList({dir.filePath("a.mp3"), "/abs/b.mp3",
                                              QStringLiteral("sub/曲.wav"),
                                              dir.filePath("last.mp3")}));
    // A missing file is an empty list, not an error; a missing argument is.
    const Run missing = peltoInfo({"m3u", dir.filePath("none.m3u")});
    QCOMPARE(missing.exitCode, 0);
    QCOMPARE(entriesOf(missing.out), QStringList());
    QCOMPARE(peltoInfo({"m3u"}).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestPeltoInfoM3u)
#include "tst_pelto_info_m3u.moc"
