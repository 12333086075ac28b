// The real program with something other than a readable file where it reads one: each
// of its files (Pelto.cfg, Pelto.m3u, Pelto.rowcache, the skin's _skin.cfg and a
// bitmap, a song) replaced in turn by a named pipe, a folder, a device, a socket, a
// file too large for what it holds, a file of another user (EACCES) and a file whose
// reads fail (EIO), the last two by a shim loaded with LD_PRELOAD. Each time the
// window shows, one stderr line names the file and why, and at exit the file is left
// as it was. And a signal at any moment of a long start (a 100,000-row playlist) ends
// the program at once, leaving its files whole; and a song whose reads stop answering
// holds up neither the next song nor the end.
#include "PeltoCopies.h"
#include "TestFiles.h"
#include "TestWave.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace pelto::test;

namespace {

enum class Kind { Pipe, Folder, Device, Socket, TooLarge, OtherUsers, FailingDisk };

// What stands at a path, to tell that the program left it as it was.
struct Standing {
    mode_t type = 0;
    qint64 size = 0;
    QByteArray bytes; // of a regular file that is not large
    QString link;

    static Standing at(const QString& path) {
        Standing s;
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            return s;
        s.type = st.st_mode & S_IFMT;
        s.size = st.st_size;
        s.link = QFile::symLinkTarget(path);
        if (S_ISREG(st.st_mode) && st.st_size < 1024 * 1024)
            s.bytes = readFile(path);
        return s;
    }
    bool operator==(const Standing&) const = default;
};

// Puts something other than a readable file at path; the socket's descriptor stays open
// in `socketFd` until the case ends.
bool replace(const QString& path, Kind kind, int& socketFd) {
    if (kind == Kind::OtherUsers || kind == Kind::FailingDisk)
        return true; // the file stays; the shim fails its reading
    QFile::remove(path);
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case Kind::Pipe:
        return ::mkfifo(name.constData(), 0600) == 0;
    case Kind::Folder:
        return QDir().mkdir(path);
    case Kind::Device:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    case Kind::Socket: {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(name.size()) >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        return ::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    case Kind::TooLarge: {
        // A sparse file far beyond what the file may hold, which costs no disk.
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.resize(qint64(1) << 30);
    }
    case Kind::OtherUsers:
    case Kind::FailingDisk:
        break;
    }
    return false;
}

// The environment that loads the shim with a fault on one file. Under AddressSanitizer
// a library loaded ahead of its runtime is allowed.
QStringList shimmed(const char* fault, const QString& file) {
    return {QStringLiteral("LD_PRELOAD=" READ_FAULT_SHIM),
            QStringLiteral("PELTO_READ_FAULT=") + fault, "PELTO_READ_FAULT_FILE=" + file,
            "ASAN_OPTIONS=" + qEnvironmentVariable("ASAN_OPTIONS") + ":verify_asan_link_order=0"};
}

QStringList stderrLines(QProcess* process) {
    return QString::fromLocal8Bit(process->readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestPeltoUnreadableFiles : public QObject {
    Q_OBJECT
private slots:
    void somethingElseInAFilesPlace_data();
    void somethingElseInAFilesPlace();
    void aSignalDuringALongStartEndsItAtOnce();
    void aReadThatNeverReturnsHoldsNothingUp();
};

void TestPeltoUnreadableFiles::somethingElseInAFilesPlace_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("reason");
    const QString song = QStringLiteral("song.wav");
    const QStringList ours = {"Pelto.cfg",
                              "Pelto.m3u",
                              "Pelto.rowcache",
                              "skin/standard/_skin.cfg",
                              "skin/standard/main.bmp",
                              song};
    const struct {
        Kind kind;
        const char* name;
        const char* reason;
        QStringList files;
    } kinds[] = {
        {Kind::Pipe, "pipe", "a named pipe, not a file", ours},
        {Kind::Folder, "folder", "a folder, not a file", ours},
        {Kind::Device, "device", "a device, not a file", ours},
        {Kind::Socket, "socket", "a socket, not a file", ours},
        {Kind::TooLarge,
         "too large",
         "larger than ",
         {"Pelto.cfg", "Pelto.rowcache", "skin/standard/main.bmp"}},
        {Kind::OtherUsers,
         "other user's",
         "Permission denied",
         {"Pelto.cfg", "Pelto.m3u", "Pelto.rowcache"}},
        {Kind::FailingDisk,
         "failing disk",
         "Input/output error",
         {"Pelto.cfg", "Pelto.m3u", "Pelto.rowcache", song}},
    };
    for (const auto& k : kinds)
        for (const QString& file : k.files)
            QTest::addRow("%s %s", k.name, qPrintable(file))
                << file << k.kind << QString::fromUtf8(k.reason);
}

void TestPeltoUnreadableFiles::somethingElseInAFilesPlace() {
    QFETCH(QString, file);
    QFETCH(Kind, kind);
    QFETCH(QString, reason);
    PeltoCopies copies;
    copies.setKeepErrors(true);
    // A skin of its own, to put things in its files' places, and the files a run
    // leaves: settings naming that skin, a playlist, and the row cache.
    QVERIFY(QFile::remove(copies.file("skin")));
    QVERIFY(QDir().mkpath(copies.file("skin/standard")));
    const QDir shipped(QStringLiteral(PELTO_BINARY_DIR "/skin/standard"));
    for (const QString& name : shipped.entryList(QDir::Files))
        QVERIFY(QFile::copy(shipped.filePath(name), copies.file("skin/standard/" + name)));
    const QString song = copies.file("song.wav");
    // A song written long ago, which the row cache keeps.
    QFile old(song);
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-1),
                            QFileDevice::FileModificationTime));
    old.close();
    QProcess* first = copies.start({song}, copies.env());
    QVERIFY(copies.waitForState(0).handOffs == 0);
    first->terminate();
    QVERIFY(first->waitForFinished(20000));
    for (const char* saved : {"Pelto.cfg", "Pelto.m3u", "Pelto.rowcache"})
        QVERIFY2(QFile::exists(copies.file(saved)), saved);
    QFile::remove(copies.statePath());

    const QString path = copies.file(file);
    int socketFd = -1;
    QVERIFY(replace(path, kind, socketFd));
    const Standing before = Standing::at(path);
    QStringList environment = copies.env();
    if (kind == Kind::OtherUsers || kind == Kind::FailingDisk)
        environment << shimmed(kind == Kind::OtherUsers ? "eacces" : "eio", path);
    // A song is played from the command line; the program's own files are read at start.
    const bool isSong = file == u"song.wav";
    QElapsedTimer clock;
    clock.start();
    QProcess* pelto = copies.start(isSong ? QStringList{song} : QStringList{}, environment);
    const PeltoState state = copies.waitForState(0);
    QCOMPARE(state.handOffs, 0);
    qInfo("window shown %lld ms after the start", qint64(clock.elapsed()));
    pelto->terminate();
    QVERIFY(pelto->waitForFinished(20000));
    QCOMPARE(pelto->exitStatus(), QProcess::NormalExit);
    if (socketFd >= 0)
        ::close(socketFd);

    const QString said =
        isSong ? "Pelto: cannot play " + path + ": " : "Pelto: cannot read " + path + ": ";
    const QStringList all = stderrLines(pelto);
    const QStringList lines = all.filter(QRegularExpression("^Pelto: cannot (read|play) "));
    QVERIFY2(lines.size() == 1, qPrintable(all.join(u'\n')));
    QVERIFY2(lines[0].startsWith(said) && lines[0].contains(reason), qPrintable(lines[0]));
    QVERIFY(Standing::at(path) == before);
    // The other files are saved as usual, whole, with nothing of a save left beside them.
    for (const char* saved : {"Pelto.cfg", "Pelto.m3u"})
        if (copies.file(saved) != path)
            QVERIFY2(Standing::at(copies.file(saved)).type == S_IFREG, saved);
    QCOMPARE(QDir(copies.home()).entryList({"*.saving.*"}, QDir::Files | QDir::Hidden),
             QStringList());
}

void TestPeltoUnreadableFiles::aSignalDuringALongStartEndsItAtOnce() {
    PeltoCopies copies;
    QByteArray list;
    for (int row = 0; row < 100000; ++row)
        list += QStringLiteral("gone/song %1.wav\r\n").arg(row, 6, 10, QChar(u'0')).toUtf8();
    QVERIFY(writeFile(copies.file("Pelto.m3u"), list));
    // A first run writes the files as the program keeps them, and shows how long the
    // start takes here.
    QElapsedTimer clock;
    clock.start();
    QProcess* first = copies.start({}, copies.env());
    QCOMPARE(copies.waitForState(0, 60000).handOffs, 0);
    const qint64 startMs = clock.elapsed();
    first->terminate();
    QVERIFY(first->waitForFinished(60000));
    const QByteArray cfg = readFile(copies.file("Pelto.cfg")),
                     m3u = readFile(copies.file("Pelto.m3u"));
    QVERIFY(!cfg.isEmpty() && m3u.count('\n') == 100000);
    QFile::remove(copies.statePath());
    const QStringList files = QDir(copies.home()).entryList(QDir::Files | QDir::Hidden);
    qInfo("the start with 100,000 rows takes %lld ms", startMs);

    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        for (const double share : {0.2, 0.5, 0.8}) {
            QFile::remove(copies.statePath());
            QProcess* pelto = copies.start({}, copies.env());
            QVERIFY(pelto->waitForStarted(5000));
            QTest::qWait(int(share * double(startMs)));
            const bool inStart = !QFile::exists(copies.statePath());
            clock.start();
            ::kill(pid_t(pelto->processId()), signal);
            QVERIFY(pelto->waitForFinished(20000));
            qInfo("signal %d at %.0f%% of the start (%s): ended %lld ms later", signal, share * 100,
                  inStart ? "during it" : "after it", qint64(clock.elapsed()));
            if (share < 0.5)
                QVERIFY2(inStart, "the start ended before a fifth of its time");
            QCOMPARE(readFile(copies.file("Pelto.cfg")), cfg);
            QCOMPARE(readFile(copies.file("Pelto.m3u")), m3u);
            QFile::remove(copies.statePath());
            QCOMPARE(QDir(copies.home()).entryList(QDir::Files | QDir::Hidden), files);
        }
    }
}

// A song whose reads stop answering as it plays (a network share gone): a song handed
// over next is heard, and the program ends at a signal with its files saved.
void TestPeltoUnreadableFiles::aReadThatNeverReturnsHoldsNothingUp() {
    PeltoCopies copies;
    const QString stuck = copies.file("on the share.wav"), next = copies.file("next.wav");
    QVERIFY(writeTestWave(stuck, 44100, 2, 60, [](int) { return qint16(0); }));
    QVERIFY(writeTestWave(next, 44100, 2, 3, [](int) { return qint16(12000); }));
    const QString played = copies.file("played.raw");
    const QStringList environment =
        copies.env() + shimmed("hang", stuck) +
        QStringList{"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + played};
    QProcess* pelto = copies.start({stuck}, environment);
    QCOMPARE(copies.waitForState(0).playState, 1);
    // The decode thread reads past the first 64 KiB within half a second of play.
    QTest::qWait(1500);
    QCOMPARE(copies.run({next}), 0);
    const PeltoState handed = copies.waitForState(1);
    QCOMPARE(handed.dmyFileName, next);
    const auto heard = [&] {
        for (const PlayedFrame& frame : framesOf(played))
            if (frame.left > 0.01f)
                return true;
        return false;
    };
    QVERIFY2(QTest::qWaitFor(heard, 15000), "the next song was not heard");
    // Two decode threads: the one the read holds, and the one that plays.
    const QString tasks = QStringLiteral("/proc/%1/task/").arg(pelto->processId());
    int decodeThreads = 0;
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        decodeThreads += readFile(tasks + task + "/comm").trimmed() == "pelto-decode";
    QCOMPARE(decodeThreads, 2);
    QElapsedTimer clock;
    clock.start();
    pelto->terminate();
    QVERIFY(pelto->waitForFinished(20000));
    qInfo("ended %lld ms after the signal with a read still hanging", qint64(clock.elapsed()));
    QCOMPARE(pelto->exitStatus(), QProcess::NormalExit);
    QCOMPARE(readFile(copies.file("Pelto.m3u")).count('\n'), 2);
}

QTEST_GUILESS_MAIN(TestPeltoUnreadableFiles)
#include "tst_pelto_unreadable_files.moc"
