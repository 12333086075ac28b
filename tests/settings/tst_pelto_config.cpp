// The real program and its Pelto.cfg: a file it wrote comes back byte for byte after a
// start and a close by SIGTERM, the values it reads show (the skin, the window's place,
// the volume knob), and a file it cannot write at exit keeps the old one and says so
// in one line. With a shim that fails one step of a save of Pelto.cfg or Pelto.m3u
// (the flush to the disk, a write, the rename, or a crash before the rename), the old
// file stays byte for byte and no temporary file remains.
#include "PeltoInfo.h"
#include "TestChild.h"
#include "TestFiles.h"
#include "settings/ConfigFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

using namespace pelto;

namespace {

using test::peltoInfo;
using test::readFile;
using test::writeFile;

// One run of pelto in a program folder. It dies with the test, however the test ends.
class Pelto {
public:
    Pelto(const QString& home, const QString& stateFile, const QStringList& environment = {})
        : m_stateFile(stateFile) {
        QFile::remove(stateFile);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PELTO_HOME", home);
        env.insert("PELTO_TEST_STATE_FILE", stateFile);
        for (const QString& pair : environment)
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        m_process.setProcessEnvironment(env);
        pelto::test::tieToTest(m_process);
        m_process.start(QStringLiteral(PELTO_BINARY_DIR "/pelto"), QStringList());
    }
    ~Pelto() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // The state the program reports once its load has ended; empty if it never does.
    QJsonObject loaded() {
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
            const QJsonObject o = QJsonDocument::fromJson(readFile(m_stateFile)).object();
            if (!o.isEmpty())
                return o;
            QTest::qWait(20);
        }
        return {};
    }
    // Closes the program as the end of the session does; true when it ended by itself.
    bool terminate() {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        return m_process.waitForFinished(20000) && m_process.exitStatus() == QProcess::NormalExit;
    }
    bool crashed() const {
        return m_process.state() == QProcess::NotRunning &&
               m_process.exitStatus() == QProcess::CrashExit;
    }
    QStringList stderrLines() {
        return QString::fromLocal8Bit(m_process.readAllStandardError())
            .split(u'\n', Qt::SkipEmptyParts);
    }

private:
    QString m_stateFile;
    QProcess m_process;
};

QList<int> numbers(const QJsonValue& array) {
    QList<int> list;
    for (const QJsonValue& v : array.toArray())
        list << v.toInt();
    return list;
}

// Where the volume knob of a skin stands for a step: the skin's bar, read by pelto-info.
QPoint volumeKnob(const QString& skinFolder, int step) {
    const QJsonObject e = peltoInfo({"skin", skinFolder}).object().value("elements").toObject();
    const QJsonObject bar = e.value("ChangeVolume").toObject();
    const QJsonObject knob = e.value("VolumeBarSkin").toObject();
    const int travel = (bar.value("h").toInt() - knob.value("h").toInt()) * 15;
    const double offsetTwips = double(31 - step) / 31 * travel;
    return QPoint(knob.value("x").toInt(), bar.value("y").toInt() + qRound(offsetTwips / 15));
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestPeltoConfig : public QObject {
    Q_OBJECT
private slots:
    void writesBackWhatItRead();
    void failedWriteAtExitKeepsTheOldFile_data();
    void failedWriteAtExitKeepsTheOldFile();
    void failedSaveStepKeepsTheOldFile_data();
    void failedSaveStepKeepsTheOldFile();
};

void TestPeltoConfig::writesBackWhatItRead() {
    QTemporaryDir home, outside;
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    QVERIFY(writeFile(home.filePath("Pelto.m3u"), "a.mp3\r\nb.mp3\r\nc.mp3\r\n"));
    const QString cfg = home.filePath("Pelto.cfg");
    const QString state = outside.filePath("state.json");

    // Written by hand: twips, LF line ends, CP932.
    QVERIFY(writeFile(cfg, QStringEncoder("CP932").encode(
                               u"[Pelto SaveData Type 1]\n"
                               "MainPlayer_X,1500\nMainPlayer_Y,750\n"
                               "PlayList_X,7500\nPlayList_Y,1350\n"
                               "PlayList_SizeX,6000\nPlayList_SizeY,3750\n"
                               "PlayListView_Item(1)Size,87.5\nPlayListView_Item(4)Size,300\n"
                               "AlwaysTop,1\nAlwaysTopPlaylist,1\n"
                               "TagInfo1,[%1]\nTagInfo2,曲: %2, %b\n"
                               "TagInfo3,%4%-(%4,%-(%3, - ))%3\nTagInfoScroll,  ～  \n"
                               "UseSkinTag,0\nWavVolume,20\nSavePlayList,1\n"
                               "AutoScrollPlayList,0\nRepeatPlay,1\nPlayListTrNum,2\n"
                               "PlayList_Visible,1\nSkin_FilePath,washi\n")));
    Settings expected;
    expected.MainPlayer_X = 100 * 15;
    expected.MainPlayer_Y = 50 * 15;
    expected.PlayList_X = 500 * 15;
    expected.PlayList_Y = 90 * 15;
    expected.PlayList_Size = QSize(400 * 15, 250 * 15);
    expected.PlayListView_ItemSize = {87.5f, {}, {}, 300};
    expected.AlwaysTop = expected.AlwaysTopPlaylist = expected.RepeatPlay = 1;
    expected.TagInfo1 = "[%1]";
    expected.TagInfo2 = "曲: %2, %b";
    expected.TagInfoScroll = "  ～  ";
    expected.UseSkinTag = expected.AutoScrollPlayList = 0;
    expected.WavVolume = 20;
    expected.PlayList_Visible = -1;
    expected.Skin_FilePath = "washi";

    QByteArray written;
    for (int run = 1; run <= 2; ++run) {
        Pelto pelto(home.path(), state);
        const QJsonObject loaded = pelto.loaded();
        // The skin and the volume step it read show on the main window, at its place.
        QCOMPARE(loaded.value("Skin_FilePath").toString(), "washi");
        QCOMPARE(loaded.value("WavVolume").toInt(), 20);
        QCOMPARE(numbers(loaded.value("window")), (QList<int>{100, 50, 300, 112}));
        const QPoint knob = volumeKnob(QStringLiteral(PELTO_BINARY_DIR "/skin/washi"), 20);
        QCOMPARE(numbers(loaded.value("volumeKnob")), (QList<int>{knob.x(), knob.y()}));
        QCOMPARE(loaded.value("PlayListTrNum").toInt(), 2);
        QVERIFY(pelto.terminate());
        if (run == 1) {
            written = readFile(cfg);
            QCOMPARE(written, configText(expected, 2));
        } else {
            QCOMPARE(readFile(cfg), written);
        }
    }
}

void TestPeltoConfig::failedWriteAtExitKeepsTheOldFile_data() {
    QTest::addColumn<bool>("full");
    QTest::newRow("read-only folder") << false;
    QTest::newRow("full disk") << true;
}

void TestPeltoConfig::failedWriteAtExitKeepsTheOldFile() {
    QFETCH(bool, full);
    // The superuser ignores folder permissions, so there the folder is a small tmpfs,
    // remounted read-only or filled up.
    const bool root = geteuid() == 0;
    if (full && !root)
        QSKIP("filling a file system needs a tmpfs mount");
    QTemporaryDir outside;
    const QString home = outside.filePath("home");
    QVERIFY(QDir().mkpath(home));
    struct Unmount {
        QString path;
        ~Unmount() {
            if (!path.isEmpty())
                QProcess::execute("umount", {path});
        }
    } unmount;
    if (root) {
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", home}) != 0)
            QSKIP("cannot mount a tmpfs here");
        unmount.path = home;
    }
    // Both files the unload saves, each with its own line when it cannot be written.
    const QByteArray old = "SavePlayList,1\r\nWavVolume,7\r\n";
    const QByteArray oldPlaylist = "a.mp3\nb.mp3\n";
    QVERIFY(writeFile(home + "/Pelto.cfg", old));
    QVERIFY(writeFile(home + "/Pelto.m3u", oldPlaylist));
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home + "/skin"));
    if (full) {
        QFile filler(home + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(1024, 'x');
        while (filler.write(block) > 0) {
        }
    } else if (root) {
        QCOMPARE(QProcess::execute("mount", {"-o", "remount,ro", home}), 0);
    } else {
        QVERIFY(QFile::setPermissions(home, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QStringList before = QDir(home).entryList(QDir::Files | QDir::Hidden);

    Pelto pelto(home, outside.filePath("state.json"));
    QCOMPARE(pelto.loaded().value("WavVolume").toInt(), 7);
    QVERIFY(pelto.terminate());
    if (!root)
        QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(readFile(home + "/Pelto.cfg"), old);
    QCOMPARE(readFile(home + "/Pelto.m3u"), oldPlaylist);
    QCOMPARE(QDir(home).entryList(QDir::Files | QDir::Hidden), before);
    const QStringList said =
        pelto.stderrLines().filter(QRegularExpression("^Pelto: cannot write "));
    QCOMPARE(said.size(), 2);
    QVERIFY2(said[0].contains(home + "/Pelto.cfg"), qPrintable(said[0]));
    QVERIFY2(said[1].contains(home + "/Pelto.m3u"), qPrintable(said[1]));
    const QString reason = std::strerror(full ? ENOSPC : root ? EROFS : EACCES);
    for (const QString& line : said)
        QVERIFY2(line.endsWith(": " + reason), qPrintable(line));
}

void TestPeltoConfig::failedSaveStepKeepsTheOldFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    const QList<std::pair<QString, QString>> faults{{"flush", std::strerror(EIO)},
                                                    {"write", std::strerror(ENOSPC)},
                                                    {"rename", std::strerror(EROFS)},
                                                    {"kill", QString()}};
    for (const QString file : {"Pelto.cfg", "Pelto.m3u"})
        for (const auto& [fault, reason] : faults)
            QTest::addRow("%s %s", qPrintable(file), qPrintable(fault)) << file << fault << reason;
}

void TestPeltoConfig::failedSaveStepKeepsTheOldFile() {
    QFETCH(QString, file);
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    QTemporaryDir outside;
    const QString home = outside.filePath("home");
    QVERIFY(QDir().mkpath(home));
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home + "/skin"));
    // Both old files differ from what the program writes (it writes CR LF, and every
    // setting), so a replaced file shows.
    const QMap<QString, QByteArray> old{{"Pelto.cfg", "SavePlayList,1\nWavVolume,7\n"},
                                        {"Pelto.m3u", "a.mp3\nb.mp3\n"}};
    for (auto it = old.begin(); it != old.end(); ++it)
        QVERIFY(writeFile(home + '/' + it.key(), it.value()));
    const QString target = home + '/' + file;
    const QString other = home + (file == "Pelto.cfg" ? "/Pelto.m3u" : "/Pelto.cfg");
    const QStringList before = filesIn(home);
    // Under AddressSanitizer, a library loaded ahead of its runtime is allowed here.
    const QStringList shim{
        "LD_PRELOAD=" SAVE_FAULT_SHIM, "PELTO_FAULT=" + fault, "PELTO_FAULT_FILE=" + target,
        "ASAN_OPTIONS=" + qEnvironmentVariable("ASAN_OPTIONS") + ":verify_asan_link_order=0"};
    const QRegularExpression temporary("^Pelto\\.(cfg|m3u)\\.saving\\.[A-Za-z0-9]{6}$");

    Pelto pelto(home, outside.filePath("state.json"), shim);
    QCOMPARE(pelto.loaded().value("WavVolume").toInt(), 7);
    const bool ended = pelto.terminate();
    QCOMPARE(readFile(target), old[file]);

    if (fault != "kill") {
        QVERIFY(ended);
        QCOMPARE(filesIn(home), before);
        // The other file was saved as always.
        QVERIFY(readFile(other) != old[QFileInfo(other).fileName()]);
        QVERIFY(readFile(other).endsWith("\r\n"));
        const QStringList said =
            pelto.stderrLines().filter(QRegularExpression("^Pelto: cannot write "));
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains(target) && said[0].endsWith(": " + reason), qPrintable(said[0]));
        return;
    }

    // Killed between writing the temporary file and renaming it: the file is left.
    QVERIFY(pelto.crashed());
    const QStringList left = filesIn(home).filter(temporary);
    QCOMPARE(left.size(), 1);
    QVERIFY(left[0].startsWith(file + ".saving."));
    // The next start removes it, and nothing else: names that only look alike stay.
    const QStringList alike{"Pelto.cfg.saving.abc12",   "Pelto.m3u.backup",
                            "Pelto.m3u.saving.abc1234", "Pelto.m3u.saving.ab-123",
                            "Other.m3u.saving.abc123",  "Pelto.m3u.saving.abc123.txt"};
    for (const QString& name : alike)
        QVERIFY(writeFile(home + '/' + name, "keep"));
    QVERIFY(QFile::link(home + "/Pelto.m3u", home + "/Pelto.m3u.saving.link12"));
    Pelto next(home, outside.filePath("state.json"));
    QVERIFY(!next.loaded().isEmpty());
    QCOMPARE(filesIn(home).filter(temporary), QStringList{"Pelto.m3u.saving.link12"});
    for (const QString& name : alike)
        QCOMPARE(readFile(home + '/' + name), "keep");
    QVERIFY(next.terminate());
}

QTEST_GUILESS_MAIN(TestPeltoConfig)
#include "tst_pelto_config.moc"
