// LoadSkin on the real main window, offscreen: where every element lies, which element
// takes a click where two overlap, what carries over from the previous skin, and what
// the screen shows of the bitmaps at the scale the test runs under (registered at
// QT_SCALE_FACTOR 1, 1.5 and 2): the background wherever no element lies and every
// element's bitmap, enlarged evenly, and text drawn at the screen's resolution.
#include "ScreenGrab.h"
#include "SkinFixture.h"
#include "player/MainPlayer.h"
#include "player/ProgramLogic.h"
#include "player/SkinWidgets.h"
#include "skin/SkinFiles.h"
#include "skin/SkinReader.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>

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

// What a screen of `ratio` screen pixels per pixel should show of a bitmap, worked out
// here on its own: at a whole ratio each pixel as a ratio × ratio block; otherwise each
// pixel as a block of the next whole factor, then each screen pixel the average of
// that enlargement over the area the screen pixel covers. `size` is in screen pixels.
QImage expectedEnlargement(const QImage& bitmap, qreal ratio, QSize size) {
    const QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    const int whole = int(std::ceil(ratio - 1e-4));
    // For each screen pixel along one axis: the enlarged pixels it covers, with weights.
    auto spans = [&](int sourceExtent, int targetExtent) {
        QList<QList<std::pair<int, double>>> out(targetExtent);
        const double step = double(sourceExtent * whole) / targetExtent;
        for (int t = 0; t < targetExtent; ++t)
            for (int e = int(t * step);
                 e < std::min(sourceExtent * whole, int(std::ceil((t + 1) * step))); ++e) {
                const double w =
                    std::min<double>(e + 1, (t + 1) * step) - std::max<double>(e, t * step);
                if (w > 0)
                    out[t].append({e / whole, w / step});
            }
        return out;
    };
    const auto xs = spans(source.width(), size.width());
    const auto ys = spans(source.height(), size.height());
    QImage out(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            double rgb[3] = {0, 0, 0};
            for (const auto& [sy, wy] : ys[y])
                for (const auto& [sx, wx] : xs[x]) {
                    const QRgb c = source.pixel(sx, sy);
                    rgb[0] += qRed(c) * wx * wy;
                    rgb[1] += qGreen(c) * wx * wy;
                    rgb[2] += qBlue(c) * wx * wy;
                }
            out.setPixel(x, y, qRgb(qRound(rgb[0]), qRound(rgb[1]), qRound(rgb[2])));
        }
    return out;
}

// The largest difference of one colour channel between two pictures at a point.
int channelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// Smoothing rounds on its own fixed-point scale; whole ratios copy pixels exactly.
int toleranceAt(qreal ratio) {
    return std::abs(ratio - std::round(ratio)) < 1e-4 ? 0 : 3;
}

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

    // Wherever no element lies, the window shows main.bmp as the screen's scale
    // enlarges it.
    void grabShowsTheBackground_data() { everyElementWhereTheSkinPutsIt_data(); }
    void grabShowsTheBackground() {
        QFETCH(QString, name);
        Window w;
        w.load(name);
        w.main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        const auto [shown, ratio] = test::grabOnScreen(w.main);
        QCOMPARE(ratio, qApp->devicePixelRatio());
        const QImage main(skin(name) + "main.bmp");
        QCOMPARE(shown.size(), main.size() * ratio);
        const QImage expected = expectedEnlargement(main, ratio, shown.size());
        QRegion covered;
        for (int i = 0; i < kSkinElementCount; ++i) {
            const auto e = SkinElement(i);
            if (e != E::MainSkin && w.main.element(e)->isVisible())
                covered += w.main.element(e)->geometry().adjusted(-1, -1, 1, 1);
        }
        int compared = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (!covered.contains(QPoint(int(x / ratio), int(y / ratio)))) {
                    ++compared;
                    const int d = channelDifference(shown.pixel(x, y), expected.pixel(x, y));
                    if (d > toleranceAt(ratio))
                        QFAIL(qPrintable(QStringLiteral("screen pixel %1,%2 differs by %3")
                                             .arg(x)
                                             .arg(y)
                                             .arg(d)));
                }
        QVERIFY(compared > shown.width() * shown.height() / 3);
    }

    // Every element's bitmap (buttons and their pressed images, bars, knobs, text area
    // pictures) shows enlarged as the screen's scale wants it, in its element's place.
    void everyBitmapEnlargedEvenly_data() { everyElementWhereTheSkinPutsIt_data(); }
    void everyBitmapEnlargedEvenly() {
        QFETCH(QString, name);
        Window w;
        w.load(name);
        w.main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        int bitmaps = 0;
        for (int i = 0; i < kSkinElementCount; ++i) {
            const auto e = SkinElement(i);
            QWidget* element = w.main.element(e);
            const SkinImage* image = w.main.image(e);
            const QImage picture = image ? image->picture() : w.main.textBox(e)->picture();
            if (picture.isNull() || e == E::Main2Skin)
                continue;
            ++bitmaps;
            const auto [shown, ratio] = test::grabOnScreen(*element);
            const QSize covered(std::ceil(picture.width() * ratio - 1e-4),
                                std::ceil(picture.height() * ratio - 1e-4));
            const QImage expected = expectedEnlargement(picture, ratio, covered);
            const QSize compared = covered.boundedTo(shown.size());
            QVERIFY(compared.width() >= picture.width() * ratio - 1);
            int worst = 0;
            for (int y = 0; y < compared.height(); ++y)
                for (int x = 0; x < compared.width(); ++x)
                    worst =
                        std::max(worst, channelDifference(shown.pixel(x, y), expected.pixel(x, y)));
            QVERIFY2(
                worst <= toleranceAt(ratio),
                qPrintable(QStringLiteral("%1 differs by %2").arg(skinElementName(e)).arg(worst)));
        }
        QVERIFY(bitmaps >= 7);
    }

    // Thin lines (the pause bars, lettering) stay even: every line of one pixel gets the
    // same ink on the screen, ratio times its own, across and down; repeating some
    // columns more than others would give alternately two and one screen pixels.
    void everyPixelWeighsTheSame() {
        for (const bool across : {true, false}) {
            // Lines one pixel wide at every fourth column (row) on white.
            QImage lines(across ? QSize(40, 6) : QSize(6, 40), QImage::Format_RGB32);
            lines.fill(Qt::white);
            for (int at = 1; at < 40; at += 4)
                for (int k = 0; k < 6; ++k)
                    lines.setPixel(across ? at : k, across ? k : at, qRgb(0, 0, 0));
            SkinImage image;
            image.setPicture(lines);
            image.resize(lines.size());
            const auto [shown, ratio] = test::grabOnScreen(image);
            const int middle = int(3 * ratio);
            for (int at = 1; at < 37; at += 4) {
                // The screen pixels from half way to the line before to half way to the next.
                const int from = int((at - 1.5) * ratio) + (at == 1 ? 1 : 0);
                const int to = int((at + 2.5) * ratio);
                double ink = 0;
                for (int t = std::max(0, from); t < to; ++t)
                    ink += 255 - qGray(across ? shown.pixel(t, middle) : shown.pixel(middle, t));
                QVERIFY2(std::abs(ink / 255 - ratio) < 0.05,
                         qPrintable(QStringLiteral("line %1 %2: %3 screen pixels of ink")
                                        .arg(at)
                                        .arg(across ? "across" : "down")
                                        .arg(ink / 255)));
            }
        }
    }

    // Text is drawn by Qt at the screen's resolution over the box's colour, not drawn at
    // one pixel a pixel and enlarged.
    void textAtTheScreensResolution() {
        TextBox box;
        box.setStyle(9, Qt::black, Qt::white);
        box.resize(140, 16);
        const QString text = QStringLiteral("朝焼けのメロディー 4:05");
        box.showText(text);
        const auto [shown, ratio] = test::grabOnScreen(box);
        QImage drawn(shown.size(), QImage::Format_RGB32);
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(Qt::white);
        {
            QPainter p(&drawn);
            p.setFont(box.font());
            p.setPen(Qt::black);
            p.drawText(0, QFontMetrics(box.font()).ascent(), text);
        }
        QCOMPARE(shown, drawn.convertToFormat(QImage::Format_RGB32));
        if (ratio < 2)
            return;
        // At 2, a glyph's edges fall inside the 2 × 2 blocks a pixel would be enlarged to.
        int split = 0;
        for (int y = 0; y + 1 < shown.height(); y += 2)
            for (int x = 0; x + 1 < shown.width(); x += 2) {
                const QRgb c = shown.pixel(x, y);
                split += c != shown.pixel(x + 1, y) || c != shown.pixel(x, y + 1) ||
                         c != shown.pixel(x + 1, y + 1);
            }
        QVERIFY2(split > 50, qPrintable(QString::number(split)));
    }
};

QTEST_MAIN(TestSkinWindow)
#include "tst_skin_window.moc"
