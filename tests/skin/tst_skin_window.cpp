// LoadSkin on the real main window, offscreen: where every element lies, which element
// takes a click where two overlap, what carries over from the previous skin, and that
// the window shows the background wherever no element lies.
#include "SkinFixture.h"
#include "player/MainPlayer.h"
#include "player/ProgramLogic.h"
#include "player/SkinWidgets.h"
#include "skin/SkinFiles.h"
#include "skin/SkinReader.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace pelto;
using E = SkinElement;

namespace {

// The menu side of the skin entries as the tray shows them: captions and check mark.
struct MenuEntries {
    QStringList captions;
    int checked = -1;
    void follow(SkinControl& skins) {
        QObject::connect(&skins, &SkinControl::skinEntriesChanged, [this](const QStringList& c) {
            captions = c;
            checked = -1;
        });
        QObject::connect(&skins, &SkinControl::checkedSkinEntryChanged,
                         [this](int index) { checked = index; });
    }
};

void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + u'/' + name, to + u'/' + name);
}

} // namespace

class TestSkinWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString skin(const QString& name) const {
        return skinFolderPath({skinRootPath(m_home.path())}, name);
    }

    void bitmap(const QString& skinName, const QString& file, int w, int h, QColor c) {
        QVERIFY(test::writeBmp(skin(skinName) + file, w, h, c));
    }
    void config(const QString& skinName, const QByteArray& text) {
        QVERIFY(test::writeFile(skin(skinName) + "_skin.cfg", text));
    }

    struct Window {
        ProgramLogic logic;
        Settings& settings = logic.settings;
        MainPlayer main;
        MenuEntries menu;
        Window() {
            logic.setView(&main);
            menu.follow(logic.skins);
            logic.skins.SetSkinList();
        }
        void load(const QString& name, bool atStart = false) {
            settings.Skin_FilePath = name;
            logic.skins.LoadSkin(atStart);
        }
        // The element that receives a left press at a point of the window.
        SkinElement pressAt(QPoint p) {
            QSignalSpy spy(&main, &MainPlayer::elementPressed);
            QTest::mousePress(main.windowHandle(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(main.windowHandle(), Qt::LeftButton, {}, p);
            return spy.isEmpty() ? SkinElement::Count : spy.first().at(0).value<SkinElement>();
        }
    };

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        qRegisterMetaType<QMouseEvent*>();
        qputenv("PELTO_HOME", m_home.path().toUtf8());
        copyFolder(PELTO_SOURCE_DIR "/skin/standard", skin("standard"));
        copyFolder(PELTO_SOURCE_DIR "/skin/washi", skin("washi"));

        // Overlapping elements, in an order that tests both layers.
        QDir().mkpath(skin("layered"));
        bitmap("layered", "main.bmp", 120, 80, Qt::darkBlue);
        bitmap("layered", "power.bmp", 20, 20, Qt::red);
        bitmap("layered", "play.bmp", 20, 20, Qt::green);
        bitmap("layered", "open.bmp", 10, 10, Qt::yellow);
        bitmap("layered", "timebar.bmp", 10, 10, Qt::white);
        bitmap("layered", "volumebar.bmp", 10, 10, Qt::white);
        bitmap("layered", "timeinfo1.bmp", 30, 15, Qt::gray);
        config("layered", "[power]\r\nx,10\r\ny,10\r\n"
                          "[play]\r\nx,20\r\ny,20\r\n"
                          "[timebar_area]\r\nx,0\r\ny,50\r\nw,100\r\nh,10\r\n"
                          "[timebar]\r\nx,40\r\ny,50\r\n"
                          "[volumebar]\r\nx,100\r\ny,10\r\n"
                          "[volumebar_area]\r\nx,100\r\ny,0\r\nw,10\r\nh,40\r\n"
                          "[timeinfo1]\r\nx,60\r\ny,0\r\nw,30\r\nh,15\r\n"
                          "s,20\r\nfc,255\r\nbc,65280\r\npict,1\r\n"
                          "[open]\r\nx,65\r\ny,10\r\n");

        // A skin that is silent about the text style and has no power button.
        QDir().mkpath(skin("silent"));
        bitmap("silent", "main.bmp", 90, 60, Qt::darkGreen);
        config("silent", "[timeinfo1]\r\nx,1\r\ny,1\r\nw,30\r\nh,12\r\n");

        QDir().mkpath(skin("nocfg"));
        bitmap("nocfg", "main.bmp", 40, 40, Qt::black);
    }

    void everyElementWhereTheSkinPutsIt_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("standard") << "standard";
        QTest::newRow("washi") << "washi";
        QTest::newRow("layered") << "layered";
    }
    void everyElementWhereTheSkinPutsIt() {
        QFETCH(QString, name);
        Window w;
        w.load(name);
        const SkinState expected = readSkin(skin(name), initialSkinState());
        QCOMPARE(w.main.size(), expected.windowSize());
        for (int i = 0; i < kSkinElementCount; ++i) {
            const auto e = SkinElement(i);
            if (e != E::Main2Skin)
                QCOMPARE(w.main.element(e)->geometry(), expected[e].geometry);
        }
        QCOMPARE(w.menu.captions.value(w.menu.checked), name);
    }

    void clickGoesToTheTopElement() {
        Window w;
        w.load("layered");
        w.main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        QCOMPARE(w.pressAt({25, 25}), E::PlaySkin);    // play's section comes later
        QCOMPARE(w.pressAt({12, 12}), E::PowerSkin);   // only power lies there
        QCOMPARE(w.pressAt({45, 55}), E::TimeBarSkin); // knob after its area
        QCOMPARE(w.pressAt({5, 55}), E::ChangeTime);
        QCOMPARE(w.pressAt({105, 15}), E::ChangeVolume); // area after its knob
        QCOMPARE(w.pressAt({70, 8}), E::NowTime);        // text areas lie above every bitmap
        QCOMPARE(w.pressAt({70, 17}), E::OpenSkin);      // below the text area's bottom edge
        QCOMPARE(w.pressAt({5, 70}), E::MainSkin);
    }

    void styleCarriesOverAndMissingSectionsLeaveTheWindow() {
        Window w;
        w.load("layered");
        TextBox* now = w.main.textBox(E::NowTime);
        QCOMPARE(now->font().pointSize(), 20);
        QVERIFY(!now->picture().isNull());
        w.load("silent");
        QCOMPARE(w.main.size(), QSize(90, 60));
        QCOMPARE(now->geometry(), QRect(1, 1, 30, 12));
        QCOMPARE(now->font().pointSize(), 20);
        QCOMPARE(now->foreColor(), QColor(255, 0, 0));
        QCOMPARE(now->backColor(), QColor(0, 255, 0));
        QVERIFY(now->picture().isNull());
        for (E e : {E::PowerSkin, E::PlaySkin, E::ChangeTime, E::TimeBarSkin, E::TagInfo0})
            QCOMPARE(w.main.element(e)->geometry(), QRect(-10, -10, 1, 1));
        // The old pictures stay with their elements, one pixel large outside the window.
        QVERIFY(!w.main.image(E::PowerSkin)->picture().isNull());
        QCOMPARE(w.menu.captions.value(w.menu.checked), QStringLiteral("silent"));
    }

    void skinWithoutDefinition() {
        Window w;
        w.load("washi");
        const QSize before = w.main.size();
        const QRect play = w.main.element(E::PlaySkin)->geometry();
        const int checked = w.menu.checked;
        w.load("nocfg");
        QCOMPARE(w.main.size(), before);
        QCOMPARE(w.main.element(E::PlaySkin)->geometry(), play);
        QCOMPARE(w.menu.checked, checked);
        QCOMPARE(w.settings.Skin_FilePath, QStringLiteral("standard"));

        // At start the standard skin takes its place in the same start.
        Window start;
        start.load("nocfg", true);
        QCOMPARE(start.settings.Skin_FilePath, QStringLiteral("standard"));
        QCOMPARE(start.main.size(), QImage(skin("standard") + "main.bmp").size());
        QCOMPARE(start.menu.checked, 0);
        // A saved name in other letter case still checks its entry.
        start.load("WASHI");
        QCOMPARE(start.menu.captions.value(start.menu.checked), QStringLiteral("washi"));
    }

    // Wherever no element lies, the window shows main.bmp exactly.
    void grabShowsTheBackground_data() { everyElementWhereTheSkinPutsIt_data(); }
    void grabShowsTheBackground() {
        QFETCH(QString, name);
        Window w;
        w.load(name);
        w.main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        const QImage shown = w.main.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage main = QImage(skin(name) + "main.bmp").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), main.size());
        QRegion covered;
        for (int i = 0; i < kSkinElementCount; ++i) {
            const auto e = SkinElement(i);
            if (e != E::MainSkin && w.main.element(e)->isVisible())
                covered += w.main.element(e)->geometry();
        }
        int compared = 0;
        for (int y = 0; y < main.height(); ++y)
            for (int x = 0; x < main.width(); ++x)
                if (!covered.contains(QPoint(x, y))) {
                    ++compared;
                    if (shown.pixel(x, y) != main.pixel(x, y))
                        QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
                }
        QVERIFY(compared > main.width() * main.height() / 3);
    }
};

QTEST_MAIN(TestSkinWindow)
#include "tst_skin_window.moc"
