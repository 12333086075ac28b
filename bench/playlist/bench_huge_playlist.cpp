// Start-up of the real program with a huge Pelto.m3u. For each row count: a fresh
// program folder (the built skins, the playlist window shown) with a Pelto.m3u of that
// many lines; pelto starts there, and a second launch hands it an empty command line,
// which returns once the first copy has loaded the list and dealt with it. Then the
// first copy is asked to end (SIGTERM: it saves Pelto.m3u, as at every close).
// Prints per row count:
//   start      seconds from the start to the second launch's return
//   cpu        processor seconds (user and system) the first copy used until then; on a
//              busy machine the start is mostly waiting for a processor, this is not
//   peak load  the peak RSS (VmHWM) when the load is over
//   rss        the RSS then
//   peak all   the peak RSS of the whole run, the save at the end included
//   exit       seconds from SIGTERM to the end (the save of Pelto.m3u)
//   per row    (rss - rss with an empty list) / rows
// By default the lines name files that do not exist, 12 to a folder
// ("/music/Artist 12/Album 3/07 Song 1234.mp3"), like a list whose disk is not
// mounted: each row then costs what the row itself holds, with no file reading. With
// --tagged K, K real tagged MP3 files are made (10 to a folder) and the lines cycle
// over them, so rows carry tag titles, artists and lengths.
// --pelto DIR runs the pelto of another build folder (with its skins), to compare.
//   bench_huge_playlist [--pelto DIR] [--tagged K] [--hidden] [ROWS...]
//                                                  (default: this build, 100000 1500000)
#include "TaggedFiles.h"
#include "app/InstancePlace.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <optional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Options {
    QString buildFolder = QStringLiteral(PELTO_BINARY_DIR);
    int tagged = 0;
    bool hidden = false;
    QList<int> rows;
};

struct Figures {
    double startSeconds = 0;
    double cpuSeconds = 0;
    long peakLoadKb = 0;
    long rssKb = 0;
    long peakAllKb = 0;
    double exitSeconds = 0;
};

// A field of /proc/PID/status in kB ("VmHWM", "VmRSS"); 0 when missing.
long statusKb(pid_t pid, const char* field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The processor time a process has used so far (user and system), in seconds.
double cpuSeconds(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // The fields after the command's name, which ends with the last ")": utime and
    // stime are the 12th and 13th of them.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
           double(::sysconf(_SC_CLK_TCK));
}

QStringList lineNames(const Options& options, const QString& home, int rows) {
    QStringList names;
    if (options.tagged > 0) {
        for (int first = 0; first < options.tagged; first += 10) {
            const QString folder = QStringLiteral("%1/music/Album %2").arg(home).arg(first / 10);
            QDir().mkpath(folder);
            names += makeFiles(folder, std::min(10, options.tagged - first));
        }
        return names;
    }
    names.reserve(rows);
    for (int i = 0; i < rows; ++i)
        names.append(QStringLiteral("/music/Artist %1/Album %2/%3 Song %4.mp3")
                         .arg(i / 120)
                         .arg(i / 12 % 10)
                         .arg(i % 12 + 1, 2, 10, QChar(u'0'))
                         .arg(i));
    return names;
}

bool writeHome(const Options& options, const QString& home, int rows) {
    QFile::link(options.buildFolder + QStringLiteral("/skin"), home + QStringLiteral("/skin"));
    QFile config(home + QStringLiteral("/Pelto.cfg"));
    if (!config.open(QIODevice::WriteOnly))
        return false;
    config.write(options.hidden ? "PlayList_Visible,0\r\n" : "PlayList_Visible,1\r\n");
    config.close();
    if (rows == 0)
        return true;
    const QStringList names = lineNames(options, home, rows);
    if (names.isEmpty())
        return false;
    QFile list(home + QStringLiteral("/Pelto.m3u"));
    if (!list.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    for (int i = 0; i < rows; ++i) {
        chunk += names[i % names.size()].toUtf8() + "\r\n";
        if (chunk.size() > (1 << 20) && list.write(chunk) == chunk.size())
            chunk.clear();
    }
    return list.write(chunk) == chunk.size();
}

std::optional<Figures> measure(const Options& options, int rows) {
    QTemporaryDir home;
    if (!writeHome(options, home.path(), rows)) {
        std::fprintf(stderr, "cannot write the program folder\n");
        return std::nullopt;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELTO_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    std::vector<QByteArray> envBytes;
    for (const QString& pair : env.toStringList())
        envBytes.push_back(pair.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& pair : envBytes)
        envp.push_back(pair.data());
    envp.push_back(nullptr);
    const QByteArray program = QFile::encodeName(options.buildFolder + QStringLiteral("/pelto"));
    char* argv[] = {const_cast<char*>(program.constData()), nullptr};

    Figures f;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.constData(), nullptr, nullptr, argv, envp.data()) != 0) {
        std::fprintf(stderr, "cannot start %s\n", program.constData());
        return std::nullopt;
    }
    // The second launch must find the first copy's lock, or it would be the first copy.
    const QString lock = pelto::instancePlaceFor(home.path()).lockPath;
    const QDeadlineTimer lockDeadline(10000);
    while (!QFileInfo::exists(lock) && !lockDeadline.hasExpired())
        QThread::usleep(200);
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QString::fromLocal8Bit(program), {});
    const bool handed = second.waitForFinished(120000) && second.exitCode() == 0;
    f.startSeconds = double(timer.nsecsElapsed()) / 1e9;
    f.cpuSeconds = cpuSeconds(pid);
    f.peakLoadKb = statusKb(pid, "VmHWM");
    f.rssKb = statusKb(pid, "VmRSS");

    timer.restart();
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    f.exitSeconds = double(timer.nsecsElapsed()) / 1e9;
    f.peakAllKb = usage.ru_maxrss;
    if (!handed) {
        std::fprintf(stderr, "the second launch was not dealt with\n");
        return std::nullopt;
    }
    return f;
}

Options parse(const QStringList& args) {
    Options options;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--pelto") && i + 1 < args.size())
            options.buildFolder = args[++i];
        else if (args[i] == QLatin1String("--tagged") && i + 1 < args.size())
            options.tagged = args[++i].toInt();
        else if (args[i] == QLatin1String("--hidden"))
            options.hidden = true;
        else
            options.rows.append(args[i].toInt());
    }
    if (options.rows.isEmpty())
        options.rows = {100000, 1500000};
    return options;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options = parse(app.arguments().mid(1));
    std::printf("pelto: %s/pelto; lines: %s; playlist window %s\n", qPrintable(options.buildFolder),
                options.tagged > 0
                    ? qPrintable(QStringLiteral("cycling over %1 tagged files").arg(options.tagged))
                    : "files that do not exist",
                options.hidden ? "hidden" : "shown");
    const auto empty = measure(options, 0);
    if (!empty)
        return 1;
    std::printf("%9s %8s %6s %10s %9s %9s %7s %8s\n", "rows", "start s", "cpu s", "peak load",
                "rss", "peak all", "exit s", "per row");
    const auto print = [](int rows, const Figures& f, const Figures& base) {
        std::printf("%9d %8.2f %6.2f %7ld MB %6ld MB %6ld MB %7.2f", rows, f.startSeconds,
                    f.cpuSeconds, f.peakLoadKb / 1024, f.rssKb / 1024, f.peakAllKb / 1024,
                    f.exitSeconds);
        if (rows > 0)
            std::printf(" %6.0f B", double(f.rssKb - base.rssKb) * 1024 / rows);
        std::printf("\n");
    };
    print(0, *empty, *empty);
    for (int rows : options.rows) {
        const auto f = measure(options, rows);
        if (!f)
            return 1;
        print(rows, *f, *empty);
        std::fflush(stdout);
    }
    return 0;
}
