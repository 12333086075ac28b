// Pelto.cfg: what SaveConfig writes and LoadConfig reads back (every field of the table
// on its own line), the units of the two kinds of file, values that are skipped,
// encodings, and where the saved places put the windows at start.
#include "common/FieldReader.h"
#include "common/Twips.h"
#include "settings/ConfigFile.h"
#include "settings/SettingsFields.h"
#include "settings/WindowPlace.h"

#include <QStringEncoder>
#include <QTest>

#include <functional>
#include <limits>

using namespace pelto;

namespace {

struct Config {
    Settings settings;
    int PlayListTrNum = 1; // the load's default

    bool operator==(const Config&) const = default;
};

Config read(const QByteArray& bytes) {
    Config c;
    FieldReader reader(bytes);
    LoadConfig(reader, c.settings, c.PlayListTrNum);
    return c;
}

using Expect = std::function<void(Config&)>;

// Gives a field a value other than its default that the file holds exactly.
void changeField(const SettingsField& field, ConfigValues& v) {
    std::visit(Overloaded{
                   [](const SectionLine&) {},
                   [&](const TextValue& f) {
                       v.*f.member = f.span == ValueSpan::RestOfLine ? " 曲, %1 " : "曲";
                   },
                   [&]<typename T>(const IntegerValue<T>& f) {
                       using Limits = std::numeric_limits<T>;
                       v.*f.member = v.*f.member == Limits::min() ? Limits::max() : Limits::min();
                   },
                   [&]<typename T>(const SwitchValue<T>& f) { v.*f.member = f.on; },
                   [&](const PlaceValue& f) { v.*f.member = -120 * 15; },
                   [&](const SizeHalfValue& f) {
                       // The largest whole number of pixels below 32768 twips.
                       QSize size = kPlaylistDesignSize * 15;
                       (f.half == 0 ? size.rwidth() : size.rheight()) = 2184 * 15;
                       v.*f.member = size;
                   },
                   [&](const ColumnWidthValue& f) { (v.*f.member)[size_t(f.column)] = 0.1f; },
               },
               field.kind);
}

} // namespace

Q_DECLARE_METATYPE(Expect)

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void savedFileIsExactAndReadsBack();
    void everyFieldOnItsLine_data();
    void everyFieldOnItsLine();
    void reading_data();
    void reading();
    void placesAtStart_data();
    void placesAtStart();
    void firstPlaceOfThePlaylist_data();
    void firstPlaceOfThePlaylist();
};

void TestConfigFile::savedFileIsExactAndReadsBack() {
    Config c;
    Settings& s = c.settings;
    s.TagInfo1 = "%+(%a,%1)";
    s.TagInfo2 = "曲: %2, %b";
    s.TagInfo3 = "%4%-(%4,%-(%3, - ))%3";
    s.TagInfoScroll = "  ～  ";
    s.UseSkinTag = 0;
    s.WavVolume = 20;
    s.SavePlayList = 0;
    s.AutoScrollPlayList = 0;
    s.Skin_FilePath = "washi";
    s.PlayList_Visible = -1;
    s.RepeatPlay = 1;
    s.AlwaysTop = 1;
    s.AlwaysTopPlaylist = 1;
    s.MainPlayer_X = 120 * 15;
    s.MainPlayer_Y = -40 * 15;
    s.PlayList_X = 1000 * 15;
    s.PlayList_Y = 0;
    s.PlayList_Size = QSize(400 * 15, 300 * 15);
    s.PlayListView_ItemSize = {87.5f, 130, 43.25f, 0.1f};
    c.PlayListTrNum = 7;

    const QByteArray text = configText(s, c.PlayListTrNum);
    QCOMPARE(text, QByteArray("[Pelto SaveData Type 2]\r\n"
                              "--- Windows Position ---\r\n"
                              "MainPlayer_X,120\r\n"
                              "MainPlayer_Y,-40\r\n"
                              "PlayList_X,1000\r\n"
                              "PlayList_Y,0\r\n"
                              "PlayList_SizeX,400\r\n"
                              "PlayList_SizeY,300\r\n"
                              "PlayListView_Item(1)Size,87.5\r\n"
                              "PlayListView_Item(2)Size,130\r\n"
                              "PlayListView_Item(3)Size,43.25\r\n"
                              "PlayListView_Item(4)Size,0.1\r\n"
                              "--- Option ---\r\n"
                              "AlwaysTop,1\r\n"
                              "AlwaysTopPlaylist,1\r\n"
                              "TagInfo1,%+(%a,%1)\r\n"
                              "TagInfo2,\xE6\x9B\xB2: %2, %b\r\n"
                              "TagInfo3,%4%-(%4,%-(%3, - ))%3\r\n"
                              "TagInfoScroll,  \xEF\xBD\x9E  \r\n"
                              "UseSkinTag,0\r\n"
                              "WavVolume,20\r\n"
                              "SavePlayList,0\r\n"
                              "AutoScrollPlayList,0\r\n"
                              "RepeatPlay,1\r\n"
                              "PlayListTrNum,7\r\n"
                              "--- Window Visible ---\r\n"
                              "PlayList_Visible,1\r\n"
                              "--- Skin FilePaht ---\r\n"
                              "Skin_FilePath,washi\r\n"));
    QVERIFY(read(text) == c);

    // Unset places go out as the windows are laid out; read back, they are set.
    const QByteArray defaults = configText(Settings(), 1);
    QVERIFY(defaults.contains("\r\nMainPlayer_X,0\r\nMainPlayer_Y,0\r\nPlayList_X,0\r\n"
                              "PlayList_Y,0\r\nPlayList_SizeX,313\r\nPlayList_SizeY,197\r\n"
                              "PlayListView_Item(1)Size,130\r\nPlayListView_Item(2)Size,130\r\n"
                              "PlayListView_Item(3)Size,43\r\nPlayListView_Item(4)Size,200\r\n"));
    QCOMPARE(defaults.count("\r\n"), 29);
    QCOMPARE(configText(read(defaults).settings, 1), defaults);

    // A text with a line break goes out up to it: the rest would be entries of its own.
    Settings broken;
    broken.Skin_FilePath = "my\r\n[Pelto SaveData Type 1]";
    broken.TagInfo2 = "%2\nMainPlayer_X,5";
    const QByteArray cut = configText(broken, 1);
    QVERIFY(cut.contains("\r\nTagInfo2,%2\r\nTagInfo3,"));
    QVERIFY(cut.endsWith("\r\nSkin_FilePath,my\r\n"));
    QCOMPARE(cut.count("\r\n"), 29);

    // A main window place in twips that is no whole pixel goes out in its shortest
    // single-precision form.
    Settings odd;
    odd.MainPlayer_X = 1801;
    QVERIFY(configText(odd, 1).contains("\r\nMainPlayer_X,120.066666\r\n"));
}

void TestConfigFile::everyFieldOnItsLine_data() {
    QTest::addColumn<int>("index");
    const auto fields = settingsFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (!std::holds_alternative<SectionLine>(fields[i].kind))
            QTest::newRow(fields[i].key) << int(i);
}

void TestConfigFile::everyFieldOnItsLine() {
    QFETCH(int, index);
    const SettingsField& field = settingsFields()[size_t(index)];
    auto load = [](const QByteArray& text) {
        ConfigValues v;
        FieldReader reader(text);
        LoadConfig(reader, v, v.PlayListTrNum);
        return v;
    };
    // The defaults as the file gives them back (every place set), with the field changed.
    const QByteArray before = configText(ConfigValues(), 1);
    ConfigValues changed = load(before);
    changeField(field, changed);
    const QByteArray after = configText(changed, changed.PlayListTrNum);

    // The header, then a line per row of the table; of them only the field's own
    // changed.
    const QList<QByteArray> linesBefore = before.split('\n'), linesAfter = after.split('\n');
    QCOMPARE(linesAfter.size(), linesBefore.size());
    const int line = index + 1;
    for (int i = 0; i < linesAfter.size(); ++i)
        if (i != line)
            QCOMPARE(linesAfter[i], linesBefore[i]);
    QVERIFY(linesAfter[line].startsWith(QByteArray(field.key) + ','));
    QVERIFY(linesAfter[line] != linesBefore[line]);
    // Read back, every value is as it was: no other key takes that line.
    QVERIFY(load(after) == changed);
}

void TestConfigFile::reading_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Expect>("expect");
    auto row = [](const char* name, const QByteArray& file, Expect expect) {
        QTest::newRow(name) << file << expect;
    };
    // Units.
    row("Type 1: places in twips", "[Pelto SaveData Type 1]\r\nMainPlayer_X,1800\r\n",
        [](Config& c) { c.settings.MainPlayer_X = 1800; });
    row("Type 2: places in pixels", "[Pelto SaveData Type 2]\r\nMainPlayer_X,1800\r\n",
        [](Config& c) { c.settings.MainPlayer_X = 1800 * 15; });
    row("no header: pixels", "MainPlayer_X,1800\r\n",
        [](Config& c) { c.settings.MainPlayer_X = 1800 * 15; });
    row("places before a Type 1 header are pixels",
        "MainPlayer_X,100\r\n[Pelto SaveData Type 1]\r\nMainPlayer_Y,100\r\nPlayList_X,7\r\n",
        [](Config& c) {
            c.settings.MainPlayer_X = 1500;
            c.settings.MainPlayer_Y = 100;
            c.settings.PlayList_X = 7;
        });
    row("whole numbers round halves to even",
        "MainPlayer_X,2.5\r\nMainPlayer_Y,-3.5\r\nPlayList_Y,&H10\r\nWavVolume,19.5\r\n",
        [](Config& c) {
            c.settings.MainPlayer_X = 2 * 15;
            c.settings.MainPlayer_Y = -4 * 15;
            c.settings.PlayList_Y = 16 * 15;
            c.settings.WavVolume = 20;
        });
    // The playlist window's size.
    row("size X without size Y leaves the size", "PlayList_SizeX,400\r\n", [](Config&) {});
    row("a zero half leaves the size", "PlayList_SizeX,400\r\nPlayList_SizeY,0\r\n",
        [](Config&) {});
    row("both halves set the size", "PlayList_SizeY,300\r\nPlayList_SizeX,400\r\n",
        [](Config& c) { c.settings.PlayList_Size = QSize(6000, 4500); });
    row("32767 twips fit",
        "[Pelto SaveData Type 1]\r\nPlayList_SizeX,32767\r\nPlayList_SizeY,15\r\n",
        [](Config& c) { c.settings.PlayList_Size = QSize(32767, 15); });
    row("32768 twips and more skip their entry",
        "PlayList_SizeX,2185\r\nPlayList_SizeY,300\r\n[Pelto SaveData Type 1]\r\n"
        "PlayList_SizeY,32768\r\n",
        [](Config&) {});
    row("a negative size skips its entry", "PlayList_SizeX,-400\r\nPlayList_SizeY,300\r\n",
        [](Config&) {});
    row("column widths keep fractions",
        "PlayListView_Item(1)Size,87.5\r\nPlayListView_Item(4)Size,1e3\r\n", [](Config& c) {
            c.settings.PlayListView_ItemSize[0] = 87.5f;
            c.settings.PlayListView_ItemSize[3] = 1000;
        });
    // Switches only the value 1 turns on.
    row("AlwaysTop,0 and AlwaysTop,2 change nothing",
        "AlwaysTop,0\r\nAlwaysTop,2\r\nAlwaysTopPlaylist,-1\r\nRepeatPlay,2\r\n"
        "PlayList_Visible,0\r\n",
        [](Config&) {});
    row("the value 1 turns the switches on",
        "AlwaysTop,1\r\nAlwaysTopPlaylist,1\r\nRepeatPlay,1\r\nPlayList_Visible,1\r\n"
        "AlwaysTop,0\r\n",
        [](Config& c) {
            c.settings.AlwaysTop = 1;
            c.settings.AlwaysTopPlaylist = 1;
            c.settings.RepeatPlay = 1;
            c.settings.PlayList_Visible = -1;
        });
    // Values that take the rest of their line.
    row("format strings keep commas, the separator its spaces",
        "TagInfo1,%1, %2,x\r\nTagInfo3,%4%-(%4,%-(%3, - ))%3\r\nTagInfoScroll,  -  \r\n"
        "UseSkinTag, 0\r\n",
        [](Config& c) {
            c.settings.TagInfo1 = "%1, %2,x";
            c.settings.TagInfo3 = "%4%-(%4,%-(%3, - ))%3";
            c.settings.TagInfoScroll = "  -  ";
            c.settings.UseSkinTag = 0;
        });
    row("a line value after a key alone on its line is the next line",
        "TagInfo2\r\n%b,%2\r\nWavVolume,3\r\n", [](Config& c) {
            c.settings.TagInfo2 = "%b,%2";
            c.settings.WavVolume = 3;
        });
    // Keys and fields.
    row("an unknown key and its value are skipped field by field",
        "Volume,5\r\nWavVolume,20\r\nVolume,SavePlayList,0\r\n", [](Config& c) {
            c.settings.WavVolume = 20;
            c.settings.SavePlayList = 0;
        });
    row("keys are compared exactly", "wavvolume,20\r\nWavVolume ,21\r\nWav Volume,22\r\n",
        [](Config& c) { c.settings.WavVolume = 21; });
    row("Skin_FilePath is one field", "Skin_FilePath,my,skin\r\nPlayListTrNum,0\r\n",
        [](Config& c) {
            c.settings.Skin_FilePath = "my";
            c.PlayListTrNum = 0;
        });
    // Values that are skipped.
    row("values that are no numbers or do not fit are skipped",
        "WavVolume,loud\r\nMainPlayer_X,\r\nSavePlayList,256\r\nAutoScrollPlayList,-1\r\n"
        "PlayListTrNum,3000000000\r\nUseSkinTag,one\r\nPlayListView_Item(2)Size,1e39\r\n"
        "MainPlayer_Y,200000000\r\nAlwaysTop,yes\r\n",
        [](Config&) {});
    row("a current row past 32767 is the whole number", "PlayListTrNum,40000\r\n",
        [](Config& c) { c.PlayListTrNum = 40000; });
    row("a key at the end without a value", "PlayListTrNum,5\r\nWavVolume",
        [](Config& c) { c.PlayListTrNum = 5; });
    row("a line key at the end without a value", "TagInfo1", [](Config&) {});
    // Line ends and encodings.
    row("LF and lone CR end lines", "WavVolume,3\nSavePlayList,0\rTagInfo1,%2\n", [](Config& c) {
        c.settings.WavVolume = 3;
        c.settings.SavePlayList = 0;
        c.settings.TagInfo1 = "%2";
    });
    row("UTF-8 with a byte order mark",
        "\xEF\xBB\xBFTagInfo1,\xE6\x9B\xB2 %1\r\nSkin_FilePath,\xE5\x92\x8C\r\n", [](Config& c) {
            c.settings.TagInfo1 = "曲 %1";
            c.settings.Skin_FilePath = "和";
        });
    row("CP932", QStringEncoder("CP932").encode(u"TagInfo1,ﾀｲﾄﾙ: %1 ～\r\nSkin_FilePath,和風\r\n"),
        [](Config& c) {
            c.settings.TagInfo1 = "ﾀｲﾄﾙ: %1 ～";
            c.settings.Skin_FilePath = "和風";
        });
}

void TestConfigFile::reading() {
    QFETCH(QByteArray, file);
    QFETCH(Expect, expect);
    Config expected;
    expect(expected);
    const Config actual = read(file);
    QCOMPARE(configText(actual.settings, actual.PlayListTrNum),
             configText(expected.settings, expected.PlayListTrNum));
    QVERIFY(actual == expected);
}

void TestConfigFile::placesAtStart_data() {
    QTest::addColumn<QList<QRect>>("screens");    // pixels; the first is the primary
    QTest::addColumn<qreal>("ratio");             // the primary's screen pixels per pixel
    QTest::addColumn<QRect>("window");            // pixels
    QTest::addColumn<std::optional<int>>("left"); // as saved: screen pixels
    QTest::addColumn<std::optional<int>>("top");
    QTest::addColumn<bool>("pullBack");
    QTest::addColumn<QPoint>("place"); // pixels
    const QList<QRect> one{{0, 0, 1024, 768}};
    const QList<QRect> two{{0, 0, 1024, 768}, {1024, 0, 1280, 1024}};
    // A 1280 × 1024 screen at scale 2, less a panel 20 pixels high along its top.
    const QList<QRect> paneled{{0, 10, 640, 502}};
    const QRect main(0, 0, 360, 140);
    using O = std::optional<int>;
    QTest::newRow("inside stays") << one << 1.0 << main << O(100) << O(50) << true
                                  << QPoint(100, 50);
    QTest::newRow("right and bottom edges pulled back")
        << one << 1.0 << main << O(900) << O(700) << true << QPoint(664, 628);
    QTest::newRow("ending exactly at the edge stays")
        << one << 1.0 << main << O(664) << O(628) << true << QPoint(664, 628);
    QTest::newRow("a negative place stays")
        << one << 1.0 << main << O(-50) << O(-20) << true << QPoint(-50, -20);
    QTest::newRow("unset edges keep the window's own")
        << one << 1.0 << QRect(30, 40, 360, 140) << O() << O(10) << true << QPoint(30, 10);
    QTest::newRow("off every screen: the middle of the primary")
        << one << 1.0 << main << O(-400) << O(10) << true << QPoint(332, 314);
    QTest::newRow("on a screen to the right: pulled back to the primary's edge")
        << two << 1.0 << main << O(1500) << O(100) << true << QPoint(664, 100);
    QTest::newRow("playlist: no pull-back, partly shown stays")
        << two << 1.0 << QRect(0, 0, 313, 197) << O(2200) << O(900) << false << QPoint(2200, 900);
    QTest::newRow("playlist on an unplugged screen")
        << one << 1.0 << QRect(0, 0, 313, 197) << O(1500) << O(100) << false << QPoint(355, 285);
    QTest::newRow("window larger than the screen")
        << one << 1.0 << QRect(0, 0, 2000, 1000) << O(-3000) << O(0) << false << QPoint(0, 0);
    // The file's places are the screen's pixels: under another scale the same spot.
    QTest::newRow("scale 2: the same spot of the screen")
        << paneled << 2.0 << main << O(500) << O(400) << true << QPoint(250, 200);
    QTest::newRow("scale 1.5: the same spot of the screen")
        << QList<QRect>{{0, 0, 853, 683}} << 1.5 << main << O(300) << O(150) << true
        << QPoint(200, 100);
    QTest::newRow("scale 2: the far edge pulled back to the screen's")
        << paneled << 2.0 << main << O(1200) << O(900) << true << QPoint(280, 372);
    QTest::newRow("scale 2: under the panel only, brought inside the area")
        << paneled << 2.0 << QRect(0, 0, 321, 4) << O(20) << O(0) << false << QPoint(159, 259);
}

void TestConfigFile::placesAtStart() {
    QFETCH(QList<QRect>, screens);
    QFETCH(qreal, ratio);
    QFETCH(QRect, window);
    QFETCH(std::optional<int>, left);
    QFETCH(std::optional<int>, top);
    QFETCH(bool, pullBack);
    QFETCH(QPoint, place);
    auto twips = [](const QRect& r) {
        return QRect(r.x() * 15, r.y() * 15, r.width() * 15, r.height() * 15);
    };
    // The primary screen's whole area; the areas the windows may take.
    ScreenLayout layout{twips(screens.first().adjusted(0, -screens.first().y(), 0, 0)), {}, ratio};
    for (const QRect& s : screens)
        layout.screens << twips(s);
    auto times15 = [](std::optional<int> v) { return v ? std::optional(*v * 15) : v; };
    const QPoint p = startPlace(twips(window), times15(left), times15(top), pullBack, layout);
    QCOMPARE(p, place * 15);
    // Saved again, the place is the spot of the screen it was read from, to the pixel
    // (whole logical pixels at 1.5 reach every other screen pixel only).
    if (left && top && p == QPoint(*left, *top) * 15 / ratio) {
        const QPoint saved = savedPlace(p / 15, layout);
        QVERIFY2(qAbs(saved.x() - *left * 15) <= 15 && qAbs(saved.y() - *top * 15) <= 15,
                 qPrintable(QStringLiteral("%1,%2").arg(saved.x()).arg(saved.y())));
    }
}

void TestConfigFile::firstPlaceOfThePlaylist_data() {
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("place");
    const QRect area(0, 0, 640, 512);
    QTest::newRow("below, left edges in line")
        << QRect(20, 30, 360, 140) << area << QRect(20, 170, 321, 205);
    QTest::newRow("below, kept inside the right edge")
        << QRect(400, 30, 220, 100) << area << QRect(319, 130, 321, 205);
    QTest::newRow("above when there is no room below")
        << QRect(20, 350, 360, 140) << area << QRect(20, 145, 321, 205);
    QTest::newRow("to the right when neither above nor below has room")
        << QRect(0, 150, 300, 300) << QRect(0, 0, 640, 600) << QRect(300, 150, 321, 205);
    QTest::newRow("to the left") << QRect(330, 150, 300, 300) << QRect(0, 0, 640, 600)
                                 << QRect(9, 150, 321, 205);
    QTest::newRow("no side with room: the most of it, cut to fit")
        << QRect(0, 0, 360, 140) << QRect(0, 0, 400, 300) << QRect(0, 140, 321, 160);
    QTest::newRow("a screen whose area starts below a panel")
        << QRect(100, 300, 360, 140) << QRect(0, 24, 640, 488) << QRect(100, 95, 321, 205);
}

void TestConfigFile::firstPlaceOfThePlaylist() {
    QFETCH(QRect, main);
    QFETCH(QRect, area);
    QFETCH(QRect, place);
    const QRect got = firstPlaceBeside(main, QSize(321, 205), QSize(56, 32), area);
    QCOMPARE(got, place);
    QVERIFY(!got.intersects(main));
    QVERIFY(area.contains(got));
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_config_file.moc"
