// The popup menu in the running program (offscreen, scripted decoder): the power button
// opens it; its items set the volume step, play, switch the skin, show and hide the
// playlist window with the check mark following, keep the windows on top and open the
// three dialogs modally; "Pelto の終了" runs the unload, which writes the switches to
// Pelto.cfg, and the next start puts the windows on top again from it.
#include "ConfigEntries.h"
#include "ScriptedDecoder.h"

#include "TestFiles.h"

#include "app/Session.h"
#include "player/MainPlayer.h"
#include "playlistwindow/PlayListForm.h"
#include "settings/ConfigFile.h"
#include "tray/TaskTrayForm.h"
#include "tray/TrayMenu.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;
using namespace pelto::test;

namespace {

bool onTop(const QWidget* window) {
    return window->windowFlags() & Qt::WindowStaysOnTopHint;
}

// The title of the modal window that `item` opens; the window is closed again.
QString modalTitleOf(QAction* item) {
    QString title;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) {
            title = modal->windowTitle();
            modal->close();
        }
    });
    item->trigger();
    return title;
}

} // namespace

class TestTraySession : public QObject {
    Q_OBJECT
private slots:
    void menuActsOnTheProgram();
    void playlistCheckFollowsTheWindow();
};

void TestTraySession::menuActsOnTheProgram() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("PELTO_HOME", home.path().toLocal8Bit());
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    QFile list(home.filePath("Pelto.m3u"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("one.mp3\r\ntwo.mp3\r\n");
    list.close();
    const auto decoder = [&] {
        auto engine = std::make_unique<ScriptedDecoder>();
        engine->addSong(home.filePath("one.mp3"), 60);
        return std::unique_ptr<Decoder>(std::move(engine));
    };

    {
        Session session;
        session.start(QString(), decoder);
        TrayMenu& menu = session.tray()->menu();
        MainPlayer& main = session.mainWindow();
        PlayListForm* playlist = session.playlistWindow();
        QVERIFY(!onTop(&main) && !playlist->isVisible());
        QCOMPARE(menu.SkinList().size(), 2);
        QVERIFY(menu.SkinList()[0]->isChecked()); // standard

        // The power button opens the menu.
        QTest::mouseClick(main.element(SkinElement::PowerSkin), Qt::LeftButton, {}, QPoint(3, 3));
        QTRY_VERIFY(menu.isVisible());
        menu.hide();

        // Volume items: the step, and the decoder's level with it.
        auto* engine = static_cast<ScriptedDecoder*>(session.player().decoder());
        QSet<std::uint32_t> levels;
        for (const auto& [item, step] : {std::pair{5, 16}, {9, 3}, {10, 0}, {0, 31}}) {
            menu.SetVolume[size_t(item)]->trigger();
            QCOMPARE(int(session.settings().WavVolume), step);
            levels.insert(engine->volume);
        }
        QCOMPARE(levels.size(), 4);
        QCOMPARE(engine->volume, 0xFFFFFFFFu);

        menu.PlaySound_Menu->trigger();
        QCOMPARE(session.player().PlayState(), PlayState::Playing);
        QCOMPARE(session.player().DmyFileName(), home.filePath("one.mp3"));

        // The playlist item and the main window's playlist button show and hide the
        // window; the check mark follows.
        menu.View_PlayList_Menu->trigger();
        QVERIFY(playlist->isVisible() && menu.View_PlayList_Menu->isChecked());
        QTest::mouseClick(main.element(SkinElement::PlayListSkin), Qt::LeftButton, {},
                          QPoint(3, 3));
        QTRY_VERIFY(!playlist->isVisible());
        QVERIFY(!menu.View_PlayList_Menu->isChecked());
        // Keeping the hidden window on top shows it, and the playlist item says so.
        menu.AlwaysTopPlaylist->trigger();
        QVERIFY(playlist->isVisible() && onTop(playlist));
        QVERIFY(menu.AlwaysTopPlaylist->isChecked() && menu.View_PlayList_Menu->isChecked());
        menu.AlwaysTop->trigger();
        QVERIFY(menu.AlwaysTop->isChecked() && onTop(&main) && main.isVisible());

        // The other skin: the window takes its size and the mark moves.
        const QSize standardSize = main.size();
        menu.SkinList()[1]->trigger();
        QCOMPARE(session.settings().Skin_FilePath, QString("washi"));
        QVERIFY(main.size() != standardSize);
        QVERIFY(!menu.SkinList()[0]->isChecked() && menu.SkinList()[1]->isChecked());

        QCOMPARE(modalTitleOf(menu.Setting), QString("Pelto 設定"));
        QCOMPARE(modalTitleOf(menu.SkinInfomation), QString("Pelto Skin情報"));
        QCOMPARE(modalTitleOf(menu.VerInfo), QString("Pelto バージョン情報"));

        menu.End_Program->trigger();
        QVERIFY(!main.isVisible());
        QVERIFY(!session.player().decoder());
        QVERIFY(!session.tray()->iconShown());
    }
    const auto saved = configEntries(home.filePath("Pelto.cfg"));
    QCOMPARE(saved.value("AlwaysTop"), QString("1"));
    QCOMPARE(saved.value("AlwaysTopPlaylist"), QString("1"));
    QCOMPARE(saved.value("WavVolume"), QString("31"));
    QCOMPARE(saved.value("Skin_FilePath"), QString("washi"));
    QVERIFY(QFile::exists(home.filePath("Pelto.m3u")));

    // The next start keeps both windows on top, with the marks, from the file.
    Session again;
    again.start(QString(), decoder);
    QVERIFY(again.tray()->menu().AlwaysTop->isChecked());
    QVERIFY(again.tray()->menu().AlwaysTopPlaylist->isChecked());
    QVERIFY(onTop(&again.mainWindow()) && again.mainWindow().isVisible());
    QVERIFY(onTop(again.playlistWindow()) && again.playlistWindow()->isVisible());
    again.tray()->menu().AlwaysTop->trigger();
    QVERIFY(!onTop(&again.mainWindow()));
    again.mainWindow().close();
    QCOMPARE(configEntries(home.filePath("Pelto.cfg")).value("AlwaysTop"), QString("0"));
}

// The playlist item's check mark is the playlist window's visibility, however it
// changes: shown at the start because it was visible and kept on top, hidden by a
// close of the window manager, shown again from the menu.
void TestTraySession::playlistCheckFollowsTheWindow() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("PELTO_HOME", home.path().toLocal8Bit());
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    Settings saved;
    saved.PlayList_Visible = -1;
    saved.AlwaysTopPlaylist = 1;
    QVERIFY(writeFile(configFilePath(home.path() + u'/'), configText(saved, 0)));

    Session session;
    session.start(QString(), [] { return std::make_unique<ScriptedDecoder>(); });
    TrayMenu& menu = session.tray()->menu();
    PlayListForm* playlist = session.playlistWindow();
    QVERIFY(playlist->isVisible() && onTop(playlist));
    QVERIFY(menu.View_PlayList_Menu->isChecked());
    QVERIFY(menu.AlwaysTopPlaylist->isChecked());

    // Alt+F4 or a taskbar's close reach the window as a close event: it hides, the
    // program goes on.
    QVERIFY(!playlist->close());
    QVERIFY(!playlist->isVisible());
    QVERIFY(!menu.View_PlayList_Menu->isChecked());
    QVERIFY(session.mainWindow().isVisible());
    QCOMPARE(session.player().decoder() != nullptr, true);

    menu.View_PlayList_Menu->trigger();
    QVERIFY(playlist->isVisible() && menu.View_PlayList_Menu->isChecked());
}

QTEST_MAIN(TestTraySession)
#include "tst_tray_session.moc"
