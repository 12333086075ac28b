// The owner of the running program, on the real engine: its load plays the command
// line, the main window's keys reach the commands, a hand-off appends and plays, and
// closing the main window runs the unload, which saves the playlist.
#include "AudioTestFiles.h"

#include "app/Session.h"
#include "player/MainPlayer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;
using namespace pelto::test;

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void ownsAndWiresTheProgram();
};

void TestSession::ownsAndWiresTheProgram() {
    QTemporaryDir home, music;
    QVERIFY(home.isValid() && music.isValid());
    qputenv("PELTO_HOME", home.path().toLocal8Bit());
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    const QString a = music.filePath("one song.mp3"), b = music.filePath("two.mp3"),
                  c = music.filePath("three.mp3");
    for (const QString& song : {a, b, c})
        QVERIFY(writeMp3(song, 30, 64));

    Session session;
    QSignalSpy started(&session.player(), &Player::songStarted);
    const auto lastStarted = [&] { return started.isEmpty() ? QVariantList() : started.last(); };
    session.start('"' + a + "\" " + b);
    QVERIFY(session.mainWindow().isVisible());
    QCOMPARE(lastStarted(), (QVariantList{1, a}));
    QCOMPARE(session.player().PlayState(), PlayState::Playing);

    QTest::keyRelease(&session.mainWindow(), Qt::Key_B);
    QCOMPARE(lastStarted(), (QVariantList{2, b}));

    session.handOff(c);
    QCOMPARE(session.playlist().paths(), (QStringList{a, b, c}));
    QCOMPARE(lastStarted(), (QVariantList{3, c}));

    session.mainWindow().close();
    QVERIFY(!session.player().decoder());
    QFile saved(home.filePath("Pelto.m3u"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), (a + "\r\n" + b + "\r\n" + c + "\r\n").toUtf8());
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
