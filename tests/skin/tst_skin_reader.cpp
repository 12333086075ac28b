#include "SkinFixture.h"
#include "skin/SkinFiles.h"
#include "skin/SkinReader.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace pelto;
using pelto::test::SkinFixture;
using E = SkinElement;

namespace {

// A skin folder with a background and a few bitmaps, read over the fresh window.
struct Skin {
    SkinFixture fx;
    Skin() {
        fx.bitmap("main.bmp", 200, 100, Qt::darkBlue);
        fx.bitmap("power.bmp", 12, 10);
        fx.bitmap("timebar.bmp", 8, 6);
        fx.bitmap("taginfo1.bmp", 30, 12, Qt::gray);
    }
    SkinState read(const QByteArray& cfg, const SkinState& previous = initialSkinState()) {
        fx.config(cfg);
        return readSkin(fx.folder(), previous);
    }
};

int position(const QVector<SkinElement>& order, SkinElement e) {
    return int(order.indexOf(e));
}

} // namespace

class TestSkinReader : public QObject {
    Q_OBJECT
private slots:
    void keyAndValueLayoutsAreEquivalent_data() {
        QTest::addColumn<QByteArray>("cfg");
        QTest::newRow("one line") << QByteArray("[power]\r\nx,10\r\ny,7\r\n");
        QTest::newRow("two lines") << QByteArray("[power]\r\nx\r\n10\r\ny\r\n7\r\n");
        QTest::newRow("upper case") << QByteArray("[POWER]\r\nX,10\r\nY,7\r\n");
        QTest::newRow("one line for all") << QByteArray("[Power],x,10,y,7");
        QTest::newRow("LF only, blanks") << QByteArray("  [power]\n  x , 10\n y,7 \n");
        QTest::newRow("hex and a half") << QByteArray("[power]\r\nx,9.5\r\ny,&H7\r\n");
        QTest::newRow("later value wins") << QByteArray("[power]\r\nx,3\r\ny,7\r\nx,10\r\n");
        QTest::newRow("width ignored in a button")
            << QByteArray("[power]\r\nw,50\r\nh,50\r\nx,10\r\ny,7\r\n");
        QTest::newRow("free text and key=value ignored")
            << QByteArray("my skin, by me\r\n[power]\r\nx=99\r\nx,10\r\ny,7\r\n");
        QTest::newRow("x of another section ignored")
            << QByteArray("[power]\r\nx,10\r\ny,7\r\n[main]\r\nx,99\r\n");
    }
    void keyAndValueLayoutsAreEquivalent() {
        QFETCH(QByteArray, cfg);
        Skin skin;
        const SkinState s = skin.read(cfg);
        QCOMPARE(s[E::PowerSkin].geometry, QRect(10, 7, 12, 10));
        QCOMPARE(s[E::PowerSkin].pictureFile, QStringLiteral("power.bmp"));
    }

    void backgroundAndWindowSize() {
        Skin skin;
        const SkinState s = skin.read("");
        QCOMPARE(s[E::MainSkin].geometry, QRect(0, 0, 200, 100));
        QCOMPARE(s.windowSize(), QSize(200, 100));
        QCOMPARE(s.surfaceOrder.last(), E::MainSkin);
        // Every element without a section lies outside the window, one pixel large.
        for (int i = 0; i < kSkinElementCount; ++i) {
            const auto e = SkinElement(i);
            if (e != E::MainSkin && e != E::Main2Skin)
                QCOMPARE(s[e].geometry, QRect(-10, -10, 1, 1));
        }
    }

    void lineValues() {
        Skin skin;
        const SkinState s = skin.read("[taginfo1]\r\ntag,%1 - %2, %3\r\nx,4\r\n"
                                      "[taginfo2]\r\ntag\r\n  %2, \"quoted\"\r\ny,9\r\n"
                                      "[taginfo3]\r\ntag, %h\r\n"
                                      "[tagscroll]\r\ntag, *** \r\n"
                                      "[timeinfo2]\r\ntext,全 \r\n");
        QCOMPARE(s.SkinTagInfo[0], QStringLiteral("%1 - %2, %3"));
        QCOMPARE(s[E::TagInfo0].geometry.x(), 4);
        // Alone on its line, the key takes the whole next line, blanks and quotes kept.
        QCOMPARE(s.SkinTagInfo[1], QStringLiteral("  %2, \"quoted\""));
        QCOMPARE(s[E::TagInfo1].geometry.y(), 9);
        QCOMPARE(s.SkinTagInfo[2], QStringLiteral(" %h"));
        QCOMPARE(s.SkinTagScroll, QStringLiteral(" *** "));
        QCOMPARE(s.TotalTimePrefix, QStringLiteral("全 "));
    }

    void shiftJisDefinition() {
        const QByteArray text = "[taginfo1]\r\ntag,%1（%2）\r\n[timeinfo2]\r\ntext,ｿｳ時間 \r\n";
        QByteArray cp932 = QStringEncoder("CP932").encode(QString::fromUtf8(text));
        QVERIFY(cp932 != text);
        Skin skin;
        const SkinState s = skin.read(cp932);
        QCOMPARE(s.SkinTagInfo[0], QStringLiteral("%1（%2）"));
        QCOMPARE(s.TotalTimePrefix, QStringLiteral("ｿｳ時間 "));
    }

    void textAreas() {
        Skin skin;
        const SkinState s = skin.read("[taginfo1]\r\nx,5\r\ny,6\r\nw,120\r\nh,14\r\ns,11\r\n"
                                      "fc,255\r\nbc,&HFF0000\r\npict,1\r\n"
                                      "[timeinfo1]\r\nx,1\r\ny,2\r\nw,40\r\nh,20\r\npict,0\r\n");
        QCOMPARE(s[E::TagInfo0].geometry, QRect(5, 6, 120, 14)); // not the picture's size
        QCOMPARE(s[E::TagInfo0].pictureFile, QStringLiteral("taginfo1.bmp"));
        QCOMPARE(s[E::TagInfo0].picture.size(), QSize(30, 12));
        QCOMPARE(s.style(E::TagInfo0).fontSize, 11);
        QCOMPARE(s.style(E::TagInfo0).foreColor, 255);
        QCOMPARE(s.style(E::TagInfo0).backColor, 0xFF0000);
        QCOMPARE(s[E::NowTime].geometry, QRect(1, 2, 40, 20));
        QVERIFY(s[E::NowTime].picture.isNull());
        // Text areas stack in their own layer, in section order.
        QVERIFY(position(s.textOrder, E::NowTime) > position(s.textOrder, E::TagInfo0));
    }

    void layering() {
        Skin skin;
        const SkinState knobOnTop = skin.read("[timebar_area]\r\nx,0\r\ny,0\r\nw,50\r\nh,8\r\n"
                                              "[timebar]\r\nx,0\r\ny,0\r\n");
        QVERIFY(position(knobOnTop.surfaceOrder, E::TimeBarSkin) >
                position(knobOnTop.surfaceOrder, E::ChangeTime));
        const SkinState areaOnTop = skin.read("[timebar]\r\nx,0\r\ny,0\r\n"
                                              "[timebar_area]\r\nx,0\r\ny,0\r\nw,50\r\nh,8\r\n");
        QVERIFY(position(areaOnTop.surfaceOrder, E::ChangeTime) >
                position(areaOnTop.surfaceOrder, E::TimeBarSkin));
        QCOMPARE(areaOnTop[E::ChangeTime].geometry, QRect(0, 0, 50, 8));
        // Every section lies above the background; a repeated section comes up again.
        const SkinState again = skin.read("[power]\r\n[timebar]\r\n[power]\r\n");
        const QVector<SkinElement> top = again.surfaceOrder.mid(again.surfaceOrder.size() - 3);
        QCOMPARE(top, (QVector<SkinElement>{E::MainSkin, E::TimeBarSkin, E::PowerSkin}));
        // [main] and [tagscroll] bring nothing forward.
        const SkinState quiet = skin.read("[power]\r\n[main]\r\n[tagscroll]\r\n");
        QCOMPARE(quiet.surfaceOrder.last(), E::PowerSkin);
    }

    void headerAtTheEndOfTheFile() {
        Skin skin;
        const SkinState s = skin.read("[timebar]\r\nx,3\r\n[power]");
        QCOMPARE(s[E::PowerSkin].geometry, QRect(-10, -10, 12, 10));
        QCOMPARE(s.surfaceOrder.last(), E::PowerSkin);
        QCOMPARE(s[E::TimeBarSkin].geometry.x(), 3);
    }

    void unknownHeaderEndsTheSection() {
        Skin skin;
        const SkinState s = skin.read("[power]\r\nx,1\r\n[nothing]\r\nx,5\r\ny,5\r\n"
                                      "[timebar]\r\nx,20\r\n");
        QCOMPARE(s[E::PowerSkin].geometry.topLeft(), QPoint(1, -10));
        QCOMPARE(s[E::TimeBarSkin].geometry.x(), 20);
    }

    void valueIsNeverAHeader() {
        Skin skin;
        const SkinState s = skin.read("[power]\r\nx,[timebar]\r\ny,4\r\n"
                                      "[taginfo1]\r\ntag,[timebar]\r\nx,2\r\n");
        QCOMPARE(s[E::PowerSkin].geometry.topLeft(), QPoint(-10, 4));
        QCOMPARE(s.SkinTagInfo[0], QStringLiteral("[timebar]"));
        QCOMPARE(s[E::TagInfo0].geometry.x(), 2);
        QCOMPARE(s[E::TimeBarSkin].geometry, QRect(-10, -10, 1, 1));
    }

    void unusableValuesAreSkipped() {
        Skin skin;
        SkinState before = initialSkinState();
        before.style(E::NowTime) = {14, 0x123456, 0x654321};
        const SkinState s =
            skin.read("[timeinfo1]\r\nx,12\r\nx,abc\r\nw,-5\r\nw,30\r\nh,\r\ns,0\r\ns,1e9\r\n"
                      "fc,-1\r\nbc,&H1000000\r\ny,99999999999\r\n[main]\r\nmask,1\r\n"
                      "[timeinfo2]\r\npict,1\r\n[taginfo1]\r\ntag",
                      before);
        QCOMPARE(s[E::NowTime].geometry, QRect(12, -10, 30, 1));
        QCOMPARE(s.style(E::NowTime).fontSize, 14);
        QCOMPARE(s.style(E::NowTime).foreColor, 0x123456);
        QCOMPARE(s.style(E::NowTime).backColor, 0x654321);
        // main2.bmp and timeinfo2.bmp are missing: nothing to show.
        QVERIFY(s[E::Main2Skin].picture.isNull());
        QVERIFY(s[E::TotalTime].picture.isNull());
        QCOMPARE(s.SkinTagInfo[0], QString());
    }

    void unreadableBitmapKeepsThePreviousPicture() {
        Skin skin;
        const SkinState first = skin.read("[power]\r\nx,1\r\ny,1\r\n");
        skin.fx.file("power.bmp", "BM not really a bitmap");
        skin.fx.file("main.bmp", "");
        const SkinState second = skin.read("[power]\r\nx,2\r\ny,2\r\n", first);
        QCOMPARE(second[E::PowerSkin].geometry, QRect(2, 2, 1, 1));
        QCOMPARE(second[E::PowerSkin].picture.size(), QSize(12, 10));
        QCOMPARE(second[E::MainSkin].geometry, QRect(0, 0, 200, 100));
    }

    void resetCarriesOverWhatTheSkinIsSilentAbout() {
        Skin skin;
        const SkinState first =
            skin.read("[power]\r\n[taginfo1]\r\npict,1\r\ns,15\r\nfc,255\r\ntag,%1\r\n"
                      "[timebar_area]\r\nx,1\r\ny,1\r\nw,9\r\nh,9\r\n[tagscroll]\r\ntag,|\r\n"
                      "[timeinfo2]\r\ntext,T\r\n");
        QCOMPARE(first[E::TagInfo0].pictureFile, QStringLiteral("taginfo1.bmp"));

        SkinFixture other;
        other.bitmap("main.bmp", 50, 40);
        other.config("[taginfo1]\r\nx,3\r\n[power]\r\n");
        const SkinState s = readSkin(other.folder(), first);
        QCOMPARE(s.windowSize(), QSize(50, 40));
        QVERIFY(s[E::TagInfo0].picture.isNull());
        QCOMPARE(s.style(E::TagInfo0).fontSize, 15);
        QCOMPARE(s.style(E::TagInfo0).foreColor, 255);
        // The power bitmap is missing in the new folder: the old picture at one pixel.
        QCOMPARE(s[E::PowerSkin].geometry, QRect(-10, -10, 1, 1));
        QCOMPARE(s[E::PowerSkin].pictureFile, QStringLiteral("power.bmp"));
        QCOMPARE(s[E::ChangeTime].geometry, QRect(-10, -10, 1, 1));
        QCOMPARE(s.SkinTagInfo[0], QString());
        QCOMPARE(s.SkinTagScroll, QString());
        QCOMPARE(s.TotalTimePrefix, QString());
    }

    void maskPicture() {
        Skin skin;
        skin.fx.bitmap("main2.bmp", 200, 100, Qt::white);
        const SkinState off = skin.read("[main]\r\nmask,0\r\n");
        QVERIFY(off[E::Main2Skin].picture.isNull());
        const SkinState on = skin.read("[main]\r\nmask,1\r\n");
        QCOMPARE(on[E::Main2Skin].pictureFile, QStringLiteral("main2.bmp"));
        QVERIFY(!on.surfaceOrder.contains(E::Main2Skin)); // never shown
        QCOMPARE(on.windowSize(), QSize(200, 100));
    }

    void fileNamesIgnoreLetterCase() {
        SkinFixture fx;
        fx.bitmap("Main.BMP", 33, 22);
        fx.bitmap("POWER.bmp", 5, 5);
        fx.bitmap("power.BMP", 7, 7);
        fx.file("_SKIN.CFG", "[power]\r\n");
        QVERIFY(hasSkinConfig(fx.folder()));
        QCOMPARE(findSkinFile(fx.folder(), "main.bmp"), fx.folder() + "Main.BMP");
        const SkinState s = readSkin(fx.folder(), initialSkinState());
        QCOMPARE(s.windowSize(), QSize(33, 22));
        // With several spellings and none exact, the first in name order wins.
        QCOMPARE(s[E::PowerSkin].pictureFile, QStringLiteral("POWER.bmp"));
        fx.bitmap("power.bmp", 9, 9);
        QCOMPARE(readSkin(fx.folder(), s)[E::PowerSkin].geometry.size(), QSize(9, 9));
        QVERIFY(findSkinFile(fx.folder(), "missing.bmp").isEmpty());
        QVERIFY(!hasSkinConfig(fx.folder() + "nowhere/"));
    }

    // The shipped skins are whole: every section's bitmap exists, every visible element
    // lies inside the window, the bars' hit areas take every click on their knobs.
    void shippedSkins_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("standard") << "standard";
        QTest::newRow("washi") << "washi";
    }
    void shippedSkins() {
        QFETCH(QString, name);
        const QString folder = QStringLiteral(PELTO_SOURCE_DIR "/skin/") + name + u'/';
        QVERIFY(hasSkinConfig(folder));
        const SkinState s = readSkin(folder, initialSkinState());
        const QRect window(QPoint(0, 0), s.windowSize());
        QVERIFY(window.width() > 200 && window.height() > 80);
        for (int i = 0; i < kSkinElementCount; ++i) {
            const auto e = SkinElement(i);
            if (e == E::Main2Skin)
                continue;
            QVERIFY2(window.contains(s[e].geometry), qPrintable(skinElementName(e)));
            if (!isHitArea(e))
                QVERIFY2(!s[e].picture.isNull(), qPrintable(skinElementName(e)));
            if (!isTextArea(e) && !isHitArea(e))
                QCOMPARE(s[e].picture.size(), s[e].geometry.size());
        }
        for (const QString& tag : s.SkinTagInfo)
            QVERIFY(!tag.isEmpty());
        QVERIFY(!s.SkinTagScroll.isEmpty());
        QVERIFY(!s.TotalTimePrefix.isEmpty());
        QVERIFY(s[E::ChangeTime].geometry.contains(s[E::TimeBarSkin].geometry));
        QVERIFY(position(s.surfaceOrder, E::ChangeTime) > position(s.surfaceOrder, E::TimeBarSkin));
        const QRect volume = s[E::ChangeVolume].geometry;
        QVERIFY(volume.height() > volume.width()); // the volume bar is vertical
        QVERIFY(position(s.surfaceOrder, E::ChangeVolume) >
                position(s.surfaceOrder, E::VolumeBarSkin));
        // The pressed images sit exactly on their buttons.
        for (int b = int(E::PowerSkin); b <= int(E::PlayList2Skin); b += 2)
            QCOMPARE(s[SkinElement(b + 1)].geometry, s[SkinElement(b)].geometry);
    }
};

QTEST_GUILESS_MAIN(TestSkinReader)
#include "tst_skin_reader.moc"
