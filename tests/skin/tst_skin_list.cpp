#include "SkinFixture.h"
#include "skin/SkinFiles.h"
#include "skin/SkinInfo.h"
#include "skin/SkinInfoForm.h"
#include "skin/SkinList.h"
#include "skin/SkinLoad.h"
#include "skin/SkinReader.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>

using namespace pelto;
using pelto::test::SkinFixture;

class TestSkinList : public QObject {
    Q_OBJECT
private slots:
    void standardComesFirstThenNameOrder() {
        QTemporaryDir root;
        for (const char* name : {"Zeta", "alpha", "Standard", "beta", "Mid"})
            QDir(root.path()).mkdir(name);
        QFile(root.path() + "/afile").open(QIODevice::WriteOnly); // not a folder
        const QStringList list = SetSkinList({root.path()});
        QCOMPARE(list, (QStringList{"Standard", "alpha", "beta", "Mid", "Zeta"}));
        QCOMPARE(checkedSkinEntry(list, "STANDARD"), 0);
        QCOMPARE(checkedSkinEntry(list, "zeta"), 4);
        QCOMPARE(checkedSkinEntry(list, "gone"), -1);
    }

    void listWithoutStandardOrWithoutFolders() {
        QTemporaryDir root;
        QDir(root.path()).mkdir("b");
        QDir(root.path()).mkdir("A");
        QCOMPARE(SetSkinList({root.path()}), (QStringList{"A", "b"}));
        QVERIFY(SetSkinList({root.path() + "/missing"}).isEmpty());
    }

    // A folder whose name begins with "." is listed and found by name like any other.
    void dotFoldersAreSkinsLikeAnyOther() {
        QTemporaryDir program;
        const QString root = skinRootPath(program.path());
        for (const char* name : {"standard", ".dots", "zed"})
            QVERIFY(QDir().mkpath(root + name));
        QCOMPARE(SetSkinList({root}), (QStringList{"standard", ".dots", "zed"}));
        QCOMPARE(skinFolderPath({root}, ".DOTS"), root + ".dots/");
    }

    // An installed copy lists the user's skins and the installed ones together; a
    // user's skin of the same name (in any letter case) is the one listed and loaded.
    void userSkinsJoinInstalledOnesAndWin() {
        QTemporaryDir user, installed;
        for (const char* name : {"Standard", "mine"})
            QVERIFY(QDir(user.path()).mkdir(name));
        for (const char* name : {"standard", "washi", "Zen"})
            QVERIFY(QDir(installed.path()).mkdir(name));
        const QStringList roots{user.path() + "/", installed.path() + "/"};
        QCOMPARE(SetSkinList(roots), (QStringList{"Standard", "mine", "washi", "Zen"}));
        QCOMPARE(skinFolderPath(roots, "standard"), roots[0] + "Standard/");
        QCOMPARE(skinFolderPath(roots, "zen"), roots[1] + "Zen/");
        QCOMPARE(skinFolderPath(roots, "gone"), roots[0] + "gone/");
    }

    void shippedSkinsAreListed() {
        const QStringList list = SetSkinList({QStringLiteral(PELTO_SOURCE_DIR "/skin/")});
        QCOMPARE(list.value(0), QStringLiteral("standard"));
        QVERIFY(list.contains("washi"));
    }

    void loadFindsTheFolderOrFallsBack() {
        SkinFixture fx; // its skin is called "test"
        fx.bitmap("main.bmp", 40, 30);
        fx.config("[power]\r\n");
        const QString standard = fx.sibling("standard");
        QImage(70, 20, QImage::Format_RGB888).save(standard + "main.bmp", "BMP");
        const SkinState fresh = initialSkinState();

        SkinLoadResult r =
            loadSkinState({skinRootPath(fx.programFolder())}, "test", fresh, SkinLoadTime::Later);
        QCOMPARE(r.skinName, QStringLiteral("test"));
        QCOMPARE(r.skinFolder, fx.folder());
        QVERIFY(r.state);
        QCOMPARE(r.state->windowSize(), QSize(40, 30));

        // A name in other letter case than its folder finds the folder.
        r = loadSkinState({skinRootPath(fx.programFolder())}, "TEST", fresh, SkinLoadTime::Later);
        QCOMPARE(r.skinName, QStringLiteral("TEST"));
        QCOMPARE(r.skinFolder, fx.folder());

        // A folder without _skin.cfg: later, nothing changes and the name becomes standard.
        r = loadSkinState({skinRootPath(fx.programFolder())}, "nowhere", fresh,
                          SkinLoadTime::Later);
        QVERIFY(!r.state);
        QCOMPARE(r.skinName, QStringLiteral("standard"));
        // At start the standard skin is applied instead, once it has a definition file.
        r = loadSkinState({skinRootPath(fx.programFolder())}, "nowhere", fresh,
                          SkinLoadTime::AtStart);
        QVERIFY(!r.state);
        QFile cfg(standard + "_skin.cfg");
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.close();
        r = loadSkinState({skinRootPath(fx.programFolder())}, "nowhere", fresh,
                          SkinLoadTime::AtStart);
        QVERIFY(r.state);
        QCOMPARE(r.skinName, QStringLiteral("standard"));
        QCOMPARE(r.skinFolder, standard);
        QCOMPARE(r.state->windowSize(), QSize(70, 20));
    }

    void infoText() {
        SkinFixture fx;
        QCOMPARE(skinInfoText(fx.folder()), fx.folder() + "\r\n\r\n");
        fx.file("_skininfo.txt", "");
        QCOMPARE(skinInfoText(fx.folder()), fx.folder() + "\r\n\r\n");
        const QString text = QStringLiteral("テスト用スキン\r\n作者：だれか\r\n");
        fx.file("_SkinInfo.TXT", QStringEncoder("CP932").encode(text));
        QFile::remove(fx.folder() + "_skininfo.txt");
        QCOMPARE(skinInfoText(fx.folder()), fx.folder() + "\r\n\r\n" + text);
        QCOMPARE(skinInfoText(fx.folder() + "missing/"), fx.folder() + "missing/\r\n\r\n");
    }

    // The shipped skins describe what they show: the power button opens the menu, and
    // each line the information its format gives.
    void shippedSkinsDescribeThemselves_data() {
        QTest::addColumn<QString>("skin");
        QTest::addColumn<QString>("thirdLine");
        QTest::newRow("standard") << "standard" << QStringLiteral("・3 行目：年とジャンル");
        QTest::newRow("washi") << "washi" << QStringLiteral("・3 行目：アルバムと年");
    }
    void shippedSkinsDescribeThemselves() {
        QFETCH(QString, skin);
        QFETCH(QString, thirdLine);
        SkinInfoForm form(QStringLiteral(PELTO_SOURCE_DIR "/skin/") + skin + u'/');
        const QStringList lines = form.SkinInfoText()->toPlainText().split(u'\n');
        QVERIFY(lines.contains(thirdLine));
        const QStringList power = lines.filter(QStringLiteral("ボタン"));
        QVERIFY(!power.filter(QStringLiteral("メニュー")).isEmpty());
        QVERIFY(power.filter(QStringLiteral("終了ボタン")).isEmpty());
        QVERIFY(!lines.contains(QStringLiteral("・右下の赤いボタン：終了")));
    }

    void infoWindow() {
        SkinFixture fx;
        QString longText;
        for (int i = 0; i < 60; ++i)
            longText += QStringLiteral("%1 行目の説明\r\n").arg(i + 1);
        fx.file("_skininfo.txt", longText.toUtf8());
        SkinInfoForm form(fx.folder());
        QCOMPARE(form.windowTitle(), QStringLiteral("Pelto Skin情報"));
        QCOMPARE(form.size(), QSize(386, 266));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(form.windowFlags() & Qt::Tool);
        QVERIFY(!(form.windowFlags() & Qt::WindowMinMaxButtonsHint));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(form.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(form.geometry().center().y() - screen.center().y()) <= 1);

        QPlainTextEdit* text = form.SkinInfoText();
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->geometry(), QRect(0, 0, 386, 266));
        const QStringList lines = text->toPlainText().split(u'\n');
        QCOMPARE(lines.value(0), fx.folder());
        QCOMPARE(lines.value(1), QString());
        QCOMPARE(lines.value(2), QStringLiteral("1 行目の説明"));
        QCOMPARE(lines.value(61), QStringLiteral("60 行目の説明"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(text->verticalScrollBar()->isVisible());
        QVERIFY(text->verticalScrollBar()->maximum() > 0); // the long text scrolls
    }

    void eachOpeningReadsAfresh() {
        SkinFixture fx;
        fx.file("_skininfo.txt", "first");
        auto shownText = [&] {
            QString seen;
            QTimer::singleShot(0, [&] {
                auto* form = qobject_cast<SkinInfoForm*>(QApplication::activeModalWidget());
                if (form) {
                    seen = form->SkinInfoText()->toPlainText();
                    form->accept();
                }
            });
            SkinInfoForm::showFor(fx.folder());
            return seen;
        };
        QCOMPARE(shownText(), fx.folder() + "\n\nfirst");
        fx.file("_skininfo.txt", "second");
        QCOMPARE(shownText(), fx.folder() + "\n\nsecond");
    }
};

QTEST_MAIN(TestSkinList)
#include "tst_skin_list.moc"
