// pelto-info config: every setting of a Pelto.cfg as JSON, with the window places in
// pixels as Pelto would place the windows on a given screen; and --save, which writes
// a file from such an object that reads back to the same object.
#include "PeltoInfo.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using pelto::test::InfoRun;
using pelto::test::peltoInfo;

QJsonObject configOf(const QStringList& args) {
    const InfoRun run = peltoInfo(QStringList{"config"} + args);
    if (run.exitCode != 0 || run.out.count('\n') != 1)
        return {};
    return run.object();
}

using pelto::test::readFile;
using pelto::test::writeFile;

} // namespace

class TestPeltoInfoConfig : public QObject {
    Q_OBJECT
private slots:
    void settingsAndPlaces();
    void saveWritesWhatReadsBack();
    void wrongArguments();
};

void TestPeltoInfoConfig::settingsAndPlaces() {
    QTemporaryDir dir;
    const QString file = dir.filePath("Pelto.cfg");
    QVERIFY(writeFile(file, "[Pelto SaveData Type 2]\r\n"
                            "MainPlayer_X,900\r\nMainPlayer_Y,-20\r\n"
                            "PlayList_Y,5000\r\nPlayList_SizeX,400\r\n"
                            "PlayListView_Item(2)Size,87.5\r\n"
                            "AlwaysTop,2\r\nRepeatPlay,1\r\n"
                            "TagInfo3,%4%-(%4,%-(%3, - ))%3\r\nTagInfoScroll,  -  \r\n"
                            "WavVolume,20\r\nPlayListTrNum,4\r\nSkin_FilePath,washi\r\n"));

    const QJsonObject o = configOf({file});
    QCOMPARE(o.value("TagInfo1").toString(), "%1");
    QCOMPARE(o.value("TagInfo3").toString(), "%4%-(%4,%-(%3, - ))%3");
    QCOMPARE(o.value("TagInfoScroll").toString(), "  -  ");
    QCOMPARE(o.value("UseSkinTag"), QJsonValue(1));
    QCOMPARE(o.value("WavVolume"), QJsonValue(20));
    QCOMPARE(o.value("SavePlayList"), QJsonValue(1));
    QCOMPARE(o.value("AutoScrollPlayList"), QJsonValue(1));
    QCOMPARE(o.value("PlayListTrNum"), QJsonValue(4));
    QCOMPARE(o.value("Skin_FilePath").toString(), "washi");
    QCOMPARE(o.value("AlwaysTop"), QJsonValue(false));
    QCOMPARE(o.value("AlwaysTopPlaylist"), QJsonValue(false));
    QCOMPARE(o.value("RepeatPlay"), QJsonValue(true));
    QCOMPARE(o.value("PlayList_Visible"), QJsonValue(false));
    // The standard skin's 360 x 140 window on a 1024 x 768 screen: pulled back from
    // the right edge, a negative top stays.
    QCOMPARE(o.value("MainPlayer_X_px"), QJsonValue(664));
    QCOMPARE(o.value("MainPlayer_Y_px"), QJsonValue(-20));
    // The playlist window's top lies below every screen: moved onto the screen.
    QCOMPARE(o.value("PlayList_X_px"), QJsonValue(QJsonValue::Null));
    QCOMPARE(o.value("PlayList_Y_px"), QJsonValue(285));
    QCOMPARE(o.value("PlayList_Size_px"), QJsonValue(QJsonValue::Null));
    QCOMPARE(o.value("PlayListView_ItemSize").toArray(),
             (QJsonArray{QJsonValue::Null, 87.5, QJsonValue::Null, QJsonValue::Null}));
    QCOMPARE(o.size(), 20);

    // Another screen and window size.
    const QJsonObject small = configOf({"--screen", "800x600", "--main-window", "300x112", file});
    QCOMPARE(small.value("MainPlayer_X_px"), QJsonValue(500));
    QCOMPARE(small.value("PlayList_Y_px"), QJsonValue(201));
}

void TestPeltoInfoConfig::saveWritesWhatReadsBack() {
    QTemporaryDir dir;
    const QJsonObject wanted{
        {"TagInfo1", "%+(%a,%1)"},
        {"TagInfo3", "%4%-(%4,%-(%3, - ))%3"},
        {"TagInfoScroll", " - "},
        {"UseSkinTag", 0},
        {"WavVolume", 31},
        {"PlayListTrNum", 0},
        {"Skin_FilePath", "washi"},
        {"AlwaysTopPlaylist", true},
        {"PlayList_Visible", true},
        {"MainPlayer_X_px", 120},
        {"MainPlayer_Y_px", 40},
        {"PlayList_X_px", 500},
        {"PlayList_Y_px", 90},
        {"PlayList_Size_px", QJsonArray{400, 250}},
        {"PlayListView_ItemSize", QJsonArray{87.5, 100, 43, 300}},
    };
    const QString out = dir.filePath("Pelto.cfg");
    QCOMPARE(peltoInfo({"config", "--save", QJsonDocument(wanted).toJson(), out}).exitCode, 0);

    // Missing keys took the defaults; read back, every key has its value.
    QJsonObject expected = wanted;
    expected.insert("TagInfo2", "%2");
    expected.insert("SavePlayList", 1);
    expected.insert("AutoScrollPlayList", 1);
    expected.insert("AlwaysTop", false);
    expected.insert("RepeatPlay", false);
    QCOMPARE(configOf({out}), expected);

    const QByteArray written = readFile(out);
    QVERIFY(written.startsWith("[Pelto SaveData Type 2]\r\n--- Windows Position ---\r\n"));
    QCOMPARE(written.count("\r\n"), 29);
}

void TestPeltoInfoConfig::wrongArguments() {
    QTemporaryDir dir;
    const QString out = dir.filePath("x.cfg");
    QCOMPARE(peltoInfo({"config"}).exitCode, 2);
    QCOMPARE(peltoInfo({"config", "--screen", "big", out}).exitCode, 2);
    QCOMPARE(peltoInfo({"config", "--save", "[1]", out}).exitCode, 2);
    QCOMPARE(peltoInfo({"config", "--save", R"({"WavVolume": 40000})", out}).exitCode, 2);
    QCOMPARE(peltoInfo({"config", "--save", R"({"TagInfo1": 5})", out}).exitCode, 2);
    QVERIFY(!QFile::exists(out));
    // A file that is not there: the defaults.
    const QJsonObject o = configOf({dir.filePath("none.cfg")});
    QCOMPARE(o.value("WavVolume"), QJsonValue(13));
    QCOMPARE(o.value("MainPlayer_X_px"), QJsonValue(QJsonValue::Null));
}

QTEST_GUILESS_MAIN(TestPeltoInfoConfig)
#include "tst_pelto_info_config.moc"
