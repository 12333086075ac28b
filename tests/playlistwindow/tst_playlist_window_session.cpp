// The playlist window in the running program (offscreen, scripted decoder): Pelto.cfg
// gives it its place, size, column widths, repeat switch, visibility and always-on-top
// switch at start, the main window's playlist button shows and hides it, and the
// unload writes its values back.
#include "ConfigEntries.h"
#include "ScriptedDecoder.h"

#include "app/Session.h"
#include "player/MainPlayer.h"
#include "playlistwindow/PlayListForm.h"
#include "playlistwindow/PlayListView.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;
using namespace pelto::test;

class TestPlaylistWindowSession : public QObject {
    Q_OBJECT
private slots:
    void configurationAndTheMainWindowsButton_data();
    void configurationAndTheMainWindowsButton();
};

void TestPlaylistWindowSession::configurationAndTheMainWindowsButton_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<bool>("shownAtStart");
    QTest::addColumn<bool>("onTop");
    QTest::addColumn<bool>("repeat");

    const QByteArray place = "PlayList_X,40\r\nPlayList_Y,60\r\nPlayList_SizeX,420\r\n"
                             "PlayList_SizeY,250\r\nPlayListView_Item(1)Size,87.5\r\n"
                             "PlayListView_Item(4)Size,321\r\n";
    QTest::newRow("hidden at the last exit") << place << false << false << false;
    QTest::newRow("visible, repeat on") << place + "PlayList_Visible,1\r\nRepeatPlay,1\r\n"
                                        << true << false << true;
    // Keeping the window on top shows it, as the tray menu's switch does.
    QTest::newRow("kept on top") << place + "AlwaysTopPlaylist,1\r\n" << true << true << false;
}

void TestPlaylistWindowSession::configurationAndTheMainWindowsButton() {
    QFETCH(QByteArray, config);
    QFETCH(bool, shownAtStart);
    QFETCH(bool, onTop);
    QFETCH(bool, repeat);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("PELTO_HOME", home.path().toLocal8Bit());
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    QFile cfg(home.filePath("Pelto.cfg"));
    QVERIFY(cfg.open(QIODevice::WriteOnly));
    cfg.write("[Pelto SaveData Type 2]\r\nPlayListTrNum,1500\r\n" + config);
    cfg.close();
    // The saved playlist, whose current row lies far down.
    QFile list(home.filePath("Pelto.m3u"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    for (int i = 1; i <= 2000; ++i)
        list.write(QByteArray::number(i) + ".mp3\r\n");
    list.close();

    Session session;
    session.start(QString(), [] { return std::unique_ptr<Decoder>(new ScriptedDecoder); });
    PlayListForm* window = session.playlistWindow();
    QVERIFY(window);
    QCOMPARE(window->isVisible(), shownAtStart);
    QCOMPARE(window->geometry(), QRect(40, 60, 420, 250));
    QCOMPARE(window->listView()->columnWidth(0), 88);
    QCOMPARE(window->listView()->columnWidth(3), 321);
    QCOMPARE(bool(window->windowFlags() & Qt::WindowStaysOnTopHint), onTop);
    QCOMPARE(window->findChild<QWidget*>("Repeat_OnBtm")->isHidden(), !repeat);
    QCOMPARE(window->findChild<QWidget*>("RepeatBtm")->isHidden(), repeat);

    // The main window's playlist button, after its pressed moment, shows or hides it.
    // Shown, it has the current row in sight.
    QWidget* button = session.mainWindow().element(SkinElement::PlayListSkin);
    PlayListView* view = window->listView();
    const auto currentRowInSight = [&] {
        const QModelIndex current = session.playlist().index(1500 - 1, 0);
        return view->viewport()->rect().contains(view->visualRect(current));
    };
    for (bool shown : {!shownAtStart, shownAtStart, !shownAtStart}) {
        if (window->isVisible())
            QTRY_VERIFY(currentRowInSight());
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(3, 3));
        QTRY_COMPARE(window->isVisible(), shown);
    }
    window->move(70, 80);
    window->listView()->setColumnWidth(1, 111);

    session.mainWindow().close();
    QVERIFY(!window->isVisible());
    const auto saved = configEntries(home.filePath("Pelto.cfg"));
    QCOMPARE(saved.value("PlayList_Visible"), QString(shownAtStart ? "0" : "1"));
    QCOMPARE(saved.value("PlayList_X"), QString("70"));
    QCOMPARE(saved.value("PlayList_Y"), QString("80"));
    QCOMPARE(saved.value("PlayList_SizeX"), QString("420"));
    QCOMPARE(saved.value("PlayList_SizeY"), QString("250"));
    QCOMPARE(saved.value("PlayListView_Item(1)Size"), QString("87.5"));
    QCOMPARE(saved.value("PlayListView_Item(2)Size"), QString("111"));
    QCOMPARE(saved.value("PlayListView_Item(3)Size"), QString("43"));
    QCOMPARE(saved.value("RepeatPlay"), QString(repeat ? "1" : "0"));
    QCOMPARE(saved.value("AlwaysTopPlaylist"), QString(onTop ? "1" : "0"));
}

QTEST_MAIN(TestPlaylistWindowSession)
#include "tst_playlist_window_session.moc"
