// An installed tree as a user meets it: `cmake --install` into a temporary prefix that
// is then made read-only, started with a temporary HOME and without a session bus. It
// plays a file, keeps Pelto.cfg and Pelto.m3u in ~/.config/pelto/ (made at its first
// save), uses a skin put in ~/.local/share/pelto/skin/, hands a second launch over to
// the running copy, and writes nothing under the prefix.
#include "Spawned.h"
#include "TestFiles.h"
#include "TestWave.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace pelto::test;

namespace {

// Every file and folder under root with its size, as one text to compare.
QString listing(const QString& root) {
    QStringList lines;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        lines.append(it.filePath() + u' ' + QString::number(it.fileInfo().size()));
    }
    lines.sort();
    return lines.join(u'\n');
}

void setTreeWritable(const QString& root, bool writable) {
    const QFileDevice::Permissions write =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    QStringList paths{root};
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next());
    for (const QString& path : paths) {
        const QFileDevice::Permissions p = QFile::permissions(path);
        QFile::setPermissions(path, writable ? p | QFileDevice::WriteOwner : p & ~write);
    }
}

QJsonObject readState(const QString& path) {
    return QJsonDocument::fromJson(readFile(path)).object();
}

} // namespace

class TestInstalledTree : public QObject {
    Q_OBJECT
private slots:
    void installedCopyKeepsItsFilesInTheUsersFolders();
};

void TestInstalledTree::installedCopyKeepsItsFilesInTheUsersFolders() {
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString prefix = work.filePath("prefix");
    const QString home = work.filePath("home");
    const QString runtime = work.filePath("runtime");
    QVERIFY(QDir().mkpath(home) && QDir().mkpath(runtime));
    QVERIFY(QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    const Spawned::Result install = Spawned::run(
        PELTO_CMAKE_COMMAND, {"--install", PELTO_BINARY_DIR, "--prefix", prefix}, env, 120000);
    QVERIFY2(install.exitCode == 0, qPrintable(install.err));
    QStringList expected{"bin/pelto",
                         "bin/pelto-info",
                         "share/pelto/skin/standard/_skin.cfg",
                         "share/pelto/skin/washi/_skin.cfg",
                         "share/applications/pelto.desktop",
                         "share/icons/hicolor/scalable/apps/pelto.svg",
                         "share/metainfo/io.github.pelto.pelto.metainfo.xml",
                         "share/man/man1/pelto.1.gz",
                         "share/man/man1/pelto-info.1.gz",
                         "share/doc/pelto/README.md",
                         "share/doc/pelto/copyright",
                         "share/doc/pelto/changelog.gz"};
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        expected.append(QStringLiteral("share/icons/hicolor/%1x%1/apps/pelto.png").arg(size));
    for (const QString& file : expected)
        QVERIFY2(QFileInfo::exists(prefix + u'/' + file), qPrintable(file));
    // The desktop entry offers Pelto for every kind it plays and every playlist kind.
    QFile entry(prefix + "/share/applications/pelto.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QByteArray desktop = entry.readAll();
    for (const char* type : {"audio/mpeg;", "audio/x-wav;", "audio/x-mpegurl;", "audio/flac;",
                             "audio/ogg;", "audio/x-vorbis+ogg;", "audio/opus;", "audio/x-scpls;"})
        QVERIFY2(desktop.contains(QByteArray("MimeType=")) &&
                     desktop.mid(desktop.indexOf("MimeType=")).split('\n').first().contains(type),
                 type);
    if (!QStandardPaths::findExecutable("desktop-file-validate").isEmpty()) {
        const Spawned::Result valid = Spawned::run(
            "desktop-file-validate", {prefix + "/share/applications/pelto.desktop"}, env);
        QVERIFY2(valid.exitCode == 0 && valid.out.isEmpty(), qPrintable(valid.out));
    }
    setTreeWritable(prefix, false);
    const auto restore = qScopeGuard([&] { setTreeWritable(prefix, true); });
    const QString before = listing(prefix);

    const QString song = work.filePath("song.wav");
    const QString later = work.filePath("later.wav");
    QVERIFY(writeSilentWave(song, 60));
    QVERIFY(QFile::copy(song, later));
    env.insert("HOME", home);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "PELTO_HOME"})
        env.remove(name);
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + work.filePath("no-bus"));
    const QString statePath = work.filePath("state.json");
    env.insert("PELTO_TEST_STATE_FILE", statePath);
    const QString pelto = prefix + "/bin/pelto";
    const QString config = home + "/.config/pelto/";

    Spawned spawned;
    // First run: plays the file, says once that there is no bus, and at the end
    // writes its files into the user's configuration folder.
    {
        QProcess* first = spawned.start(pelto, {song}, env);
        QVERIFY(
            QTest::qWaitFor([&] { return readState(statePath)["PlayState"].toInt() == 1; }, 20000));
        QVERIFY(!QFileInfo::exists(config));
        ::kill(pid_t(first->processId()), SIGTERM);
        QVERIFY(first->waitForFinished(15000));
        QCOMPARE(first->exitCode(), 0);
        const QString err = QString::fromUtf8(first->readAllStandardError());
        QCOMPARE(err.count("no session bus"), 1);
    }
    QVERIFY(QFileInfo::exists(config + "Pelto.cfg"));
    QFile playlist(config + "Pelto.m3u");
    QVERIFY(playlist.open(QIODevice::ReadOnly));
    QVERIFY(playlist.readAll().contains("song.wav"));

    // A skin of the user's own, chosen in the saved settings.
    const QString mine = home + "/.local/share/pelto/skin/mine/";
    QVERIFY(QDir().mkpath(mine));
    for (const QFileInfo& file :
         QDir(prefix + "/share/pelto/skin/standard").entryInfoList(QDir::Files))
        QVERIFY(QFile::copy(file.filePath(), mine + file.fileName()));
    QFile cfg(config + "Pelto.cfg");
    QVERIFY(cfg.open(QIODevice::ReadOnly));
    QByteArray text = cfg.readAll();
    cfg.close();
    text.replace("Skin_FilePath,standard", "Skin_FilePath,mine");
    QVERIFY(cfg.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cfg.write(text);
    cfg.close();

    // Second run without files: the saved playlist comes back, the user's skin is
    // used, and a later launch hands its file over to it.
    QFile::remove(statePath);
    QProcess* running = spawned.start(pelto, {}, env);
    QVERIFY(QTest::qWaitFor([&] { return readState(statePath).contains("handOffs"); }, 20000));
    QJsonObject state = readState(statePath);
    QCOMPARE(state["Skin_FilePath"].toString(), QStringLiteral("mine"));
    QCOMPARE(state["rows"].toArray(), QJsonArray{song});
    QCOMPARE(Spawned::run(pelto, {later}, env, 20000).exitCode, 0);
    QVERIFY(QTest::qWaitFor([&] { return readState(statePath)["handOffs"].toInt() == 1; }, 10000));
    state = readState(statePath);
    QCOMPARE(state["rows"].toArray(), (QJsonArray{song, later}));
    QCOMPARE(state["DmyFileName"].toString(), later);
    // The installed copy is controlled from the shell the same way.
    const Spawned::Result paused = Spawned::run(pelto, {"--pause"}, env, 20000);
    QCOMPARE(paused.exitCode, 0);
    const Spawned::Result status = Spawned::run(pelto, {"--status"}, env, 20000);
    QCOMPARE(status.exitCode, 0);
    QVERIFY2(status.out.startsWith("state: paused\nrow: 2/2\ntitle: later\n"),
             qPrintable(status.out));
    ::kill(pid_t(running->processId()), SIGTERM);
    QVERIFY(running->waitForFinished(15000));
    QCOMPARE(running->exitCode(), 0);

    QCOMPARE(listing(prefix), before);
    // Without it, a remote command says so and starts none.
    const Spawned::Result alone = Spawned::run(pelto, {"--next"}, env, 20000);
    QCOMPARE(alone.exitCode, 1);
    QCOMPARE(alone.err, QStringLiteral("Pelto: --next: Pelto is not running\n"));
}

QTEST_GUILESS_MAIN(TestInstalledTree)
#include "tst_installed_tree.moc"
