// The about box, offscreen: its size, title and labels in their places, the version
// text for several versions, the animation's frames in order and back at the first
// after five ticks, from the first frame at every opening, the link opening the home
// page, and any key closing the box.
#include "about/HomePage.h"
#include "about/VersionText.h"
#include "about/Version_Info.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;

// Takes the addresses the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestAboutBox : public QObject {
    Q_OBJECT
private slots:
    void versionText_data();
    void versionText();
    void layout();
    void animationFromTheFirstFrameAtEveryOpening();
    void linkOpensTheHomePage();
    void homePageIsADocumentThatExists_data();
    void homePageIsADocumentThatExists();
    void nothingToOpenTheLinkIsSaidOnce();
};

void TestAboutBox::versionText_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("shown");
    QTest::newRow("this release") << 1 << 12 << 0 << "1.12";
    QTest::newRow("minor below ten") << 1 << 5 << 0 << "1.05";
    QTest::newRow("minor zero") << 2 << 0 << 0 << "2.00";
    QTest::newRow("with a revision") << 1 << 12 << 3 << "1.12.3";
    QTest::newRow("minor five, revision three") << 1 << 5 << 3 << "1.05.3";
}

void TestAboutBox::versionText() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, shown);
    QCOMPARE(versionCaption(major, minor, revision), shown);
}

void TestAboutBox::layout() {
    Version_Info box;
    box.show();
    QCOMPARE(box.windowTitle(), QString("Pelto バージョン情報"));
    QCOMPARE(box.size(), QSize(378, 119));
    struct Place {
        const char* name;
        QPoint at;
        QString text; // empty: not compared
    };
    const Place places[] = {
        {"Label3", {16, 8}, "Pelto"},
        {"Label2", {120, 8}, "Ver."},
        {"Version", {144, 8}, "1.12"},
        {"Label4", {72, 40}, {}},
        {"Label5", {210, 40}, {}},
        {"Label1", {72, 64}, "最新版はこちら"},
        {"Label9", {160, 64}, {}},
        {"Label6", {72, 104}, "このソフトはフリーソフトウェアです (GPL-3.0 以降)"},
    };
    for (const Place& place : places) {
        auto* label = box.findChild<QLabel*>(place.name);
        QVERIFY2(label, place.name);
        QCOMPARE(label->pos(), place.at);
        if (!place.text.isEmpty())
            QCOMPARE(label->text(), place.text);
        // Each label shows whole inside the box.
        QVERIFY2(box.rect().contains(label->geometry()), place.name);
    }
    QCOMPARE(box.findChild<QLabel*>("Label9")->width(), 206);
    // The licence's short name shows, its whole name is the tip.
    QCOMPARE(box.findChild<QLabel*>("Label6")->toolTip(),
             QString("GNU General Public License version 3 or later"));
    // No text runs into another.
    for (const Place& a : places)
        for (const Place& b : places)
            if (a.name != b.name)
                QVERIFY2(!box.findChild<QLabel*>(a.name)->geometry().intersects(
                             box.findChild<QLabel*>(b.name)->geometry()),
                         qPrintable(QStringLiteral("%1 %2").arg(a.name, b.name)));
    QCOMPARE(box.findChild<QLabel*>("Anime")->geometry(), QRect(4, 32, 64, 64));
}

void TestAboutBox::animationFromTheFirstFrameAtEveryOpening() {
    // The five pictures: 64 × 64 and all different.
    {
        Version_Info box;
        QSet<QByteArray> distinct;
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(box.frameImage(n).size(), QSize(64, 64));
            const QImage image = box.frameImage(n).toImage();
            distinct.insert(
                QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        }
        QCOMPARE(distinct.size(), 5);
        auto* anime = box.findChild<QLabel*>("Anime");
        QCOMPARE(box.AnimeFrame(), 0);
        const int expected[] = {1, 2, 3, 4, 5, 1, 2};
        for (int frame : expected) {
            box.Timer1_Timer();
            QCOMPARE(box.AnimeFrame(), frame);
            QCOMPARE(anime->pixmap().toImage(), box.frameImage(frame).toImage());
        }
    }

    // Opened twice: the timer runs, each opening starts again at the first frame, and
    // a key closes the box.
    for (int opening = 1; opening <= 2; ++opening) {
        QList<int> seen;
        QTimer watch;
        watch.setInterval(20);
        connect(&watch, &QTimer::timeout, [&] {
            auto* box = qobject_cast<Version_Info*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (seen.isEmpty() || seen.last() != box->AnimeFrame())
                seen.append(box->AnimeFrame());
            if (box->AnimeFrame() == 3)
                QTest::keyClick(box, Qt::Key_Space);
        });
        watch.start();
        Version_Info::showModal();
        watch.stop();
        QCOMPARE(seen, (QList<int>{0, 1, 2, 3}));
        QCOMPARE(Version_Info::kFrameMs, 150);
        QVERIFY(!QApplication::activeModalWidget());
    }
}

void TestAboutBox::linkOpensTheHomePage() {
    const QUrl home(Version_Info::homePage());
    QVERIFY(home.isValid() && !home.scheme().isEmpty());
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(home.scheme(), &catcher, "open");
    Version_Info box;
    box.show();
    auto* link = box.findChild<QLabel*>("Label9");
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QTest::mouseClick(link, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(catcher.opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(catcher.opened, QList<QUrl>{home});
    QVERIFY(box.isVisible());
    QDesktopServices::unsetUrlHandler(home.scheme());
}

void TestAboutBox::homePageIsADocumentThatExists_data() {
    QTest::addColumn<QString>("configured");
    QTest::addColumn<bool>("readmeBeside");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a configured page wins")
        << "https://example.org/" << true << "https://example.org/";
    QTest::newRow("the README beside the program") << "" << true << "beside";
    QTest::newRow("else the installed README") << "" << false << "installed";
}

void TestAboutBox::homePageIsADocumentThatExists() {
    QFETCH(QString, configured);
    QFETCH(bool, readmeBeside);
    QFETCH(QString, expected);
    QTemporaryDir program;
    if (readmeBeside)
        QVERIFY(QFile(program.filePath("README.md")).open(QIODevice::WriteOnly));
    const QString installed = QStringLiteral("/usr/share/doc/pelto/README.md");
    const QString address = homePageAddress(configured, program.path() + u'/', installed);
    if (expected == u"beside")
        expected = QUrl::fromLocalFile(program.filePath("README.md")).toString();
    else if (expected == u"installed")
        expected = QUrl::fromLocalFile(installed).toString();
    QCOMPARE(address, expected);

    // This build folder has its README beside the binaries, so the link opens it.
    const QUrl home(Version_Info::homePage());
    QVERIFY(home.isLocalFile());
    QVERIFY(QFileInfo(home.toLocalFile()).isFile());
}

void TestAboutBox::nothingToOpenTheLinkIsSaidOnce() {
    // Nothing opens documents on the offscreen platform, nor on a desktop without a
    // launcher (an empty PATH, no desktop named): the click says so on stderr once.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "");
    qunsetenv("XDG_CURRENT_DESKTOP");
    const bool opened = openHomePage(QStringLiteral("file:///nonexistent/README.md"));
    qputenv("PATH", path);
    if (opened)
        QSKIP("this desktop opened the address after all");
    QVERIFY(!openHomePage(QStringLiteral("file:///nonexistent/README.md")));
}

QTEST_MAIN(TestAboutBox)
#include "tst_about_box.moc"
