// pelto-info tags as a tool user sees it: one JSON object per file, in order, with
// the audio engine's facts, and exit status 0 whatever the files hold.
#include "AudioTestFiles.h"
#include "PeltoInfo.h"

#include <QJsonObject>
#include <QtTest>

using namespace pelto::test;

class TestInfoTags : public QObject {
    Q_OBJECT

private slots:
    void oneLinePerFile();
    void wrongArguments();
};

void TestInfoTags::oneLinePerFile() {
    const InfoRun run = peltoInfo({"tags", "--format", "%1", fixture("mpeg1_l3_cbr.mp3"),
                                   fixture("no_such_file.mp3"), fixture("wave_u8_mono.wav")},
                                  10000);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.count('\n'), 3);
    const QList<QJsonObject> lines = run.lines();
    QCOMPARE(lines.size(), 3);
    const QJsonObject& mp3 = lines[0];
    QCOMPARE(mp3["path"].toString(), fixture("mpeg1_l3_cbr.mp3"));
    QCOMPARE(mp3["opens"].toBool(), true);
    QCOMPARE(mp3["seconds"].toInt(), 2);
    QCOMPARE(mp3["length"].toString(), QString("00:02"));
    const QJsonObject id3 = mp3["id3"].toObject();
    QCOMPARE(id3["Title"].toString(), QString("Title One"));
    QCOMPARE(id3["Year"].toString(), QString("2001"));
    QCOMPARE(id3["Genre"].toInt(), 17);
    QCOMPARE(id3["GenreName"].toString(), QString("Rock"));

    const QJsonObject& missing = lines[1];
    QCOMPARE(missing["opens"].toBool(), false);
    QCOMPARE(missing["seconds"].toInt(), 0);
    QCOMPARE(missing["id3"].toObject()["Title"].toString(), QString());

    const QJsonObject& wave = lines[2];
    QCOMPARE(wave["opens"].toBool(), true);
    QCOMPARE(wave["seconds"].toInt(), 1);
}

void TestInfoTags::wrongArguments() {
    for (const QStringList& args : {QStringList{"tags"}, QStringList{"tags", "--format"}})
        QCOMPARE(peltoInfo(args, 10000).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestInfoTags)
#include "tst_info_tags.moc"
