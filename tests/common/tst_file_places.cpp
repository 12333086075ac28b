// Where a copy keeps its settings and finds its skins, for the layouts a copy can
// run from: the build folder or a portable copy, a read-only install, an install
// under a prefix the user owns, and PELTO_HOME.
#include "common/FilePlaces.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;

class TestFilePlaces : public QObject {
    Q_OBJECT
private slots:
    void placesFollowTheLayout_data() {
        QTest::addColumn<bool>("ownSkins");
        QTest::addColumn<bool>("installedSkins");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("homeGiven");
        QTest::addColumn<bool>("portable");
        QTest::newRow("build folder") << true << false << false << false << true;
        QTest::newRow("portable copy beside an install") << true << true << false << false << true;
        QTest::newRow("read-only install") << false << true << true << false << false;
        QTest::newRow("read-only portable copy") << true << false << true << false << false;
        QTest::newRow("install under the user's prefix")
            << false << true << false << false << false;
        QTest::newRow("PELTO_HOME read-only") << false << true << true << true << true;
    }

    void placesFollowTheLayout() {
        QFETCH(bool, ownSkins);
        QFETCH(bool, installedSkins);
        QFETCH(bool, readOnly);
        QFETCH(bool, homeGiven);
        QFETCH(bool, portable);
        QTemporaryDir prefix;
        const QString bin = prefix.path() + "/bin/";
        QVERIFY(QDir().mkpath(bin));
        if (ownSkins)
            QVERIFY(QDir().mkpath(bin + "skin"));
        if (installedSkins)
            QVERIFY(QDir().mkpath(prefix.path() + "/share/pelto/skin"));
        if (readOnly)
            QVERIFY(QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

        const FilePlaces places =
            filePlacesFor(bin, homeGiven, "/home/u/.config", "/home/u/.local/share/");
        QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
        if (portable) {
            QCOMPARE(places.settingsFolder, bin);
            QCOMPARE(places.skinRoots, QStringList{bin + "skin/"});
        } else {
            QCOMPARE(places.settingsFolder, QStringLiteral("/home/u/.config/pelto/"));
            QCOMPARE(places.skinRoots, (QStringList{"/home/u/.local/share/pelto/skin/",
                                                    prefix.path() + "/share/pelto/skin/"}));
        }
    }
};

QTEST_GUILESS_MAIN(TestFilePlaces)
#include "tst_file_places.moc"
