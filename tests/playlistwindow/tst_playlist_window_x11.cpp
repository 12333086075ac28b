// The playlist window of the real program on a real X display: a private Xvfb with
// openbox, both started here. The main window's playlist button shows and hides the
// window, dragging its strip moves it, and dragging its corner resizes it with the
// list and the close button following. Every process started here ends with the
// test, also when it fails or is killed.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <sys/prctl.h>

namespace {

// Processes that end with the test: killed at the end of the scope, and killed by the
// system if the test process dies first.
class Processes {
public:
    ~Processes() {
        for (auto it = m_list.rbegin(); it != m_list.rend(); ++it) {
            QProcess* p = *it;
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
            delete p;
        }
    }

    QProcess* start(const QString& program, const QStringList& args,
                    const QProcessEnvironment& env) {
        auto* p = new QProcess;
        p->setProcessEnvironment(env);
        p->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        p->start(program, args);
        m_list.append(p);
        return p;
    }

private:
    QList<QProcess*> m_list;
};

// A short command on the display; its output, or nothing when it fails or hangs.
QString run(const QProcessEnvironment& env, const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    p.start(program, args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(3000);
        return {};
    }
    return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

QStringList xdotool(const QProcessEnvironment& env, const QStringList& args) {
    return run(env, QStringLiteral("xdotool"), args).split(u'\n', Qt::SkipEmptyParts);
}

// The window's place and size as the X server has it.
QRect geometryOf(const QProcessEnvironment& env, const QString& id) {
    QRect r;
    for (const QString& line : xdotool(env, {"getwindowgeometry", "--shell", id})) {
        const QString key = line.section(u'=', 0, 0);
        const int value = line.section(u'=', 1).toInt();
        if (key == u"X")
            r.moveLeft(value);
        else if (key == u"Y")
            r.moveTop(value);
        else if (key == u"WIDTH")
            r.setWidth(value);
        else if (key == u"HEIGHT")
            r.setHeight(value);
    }
    return r;
}

} // namespace

class TestPlaylistWindowX11 : public QObject {
    Q_OBJECT
private slots:
    void buttonShowsDragMovesCornerResizes();
};

void TestPlaylistWindowX11::buttonShowsDragMovesCornerResizes() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop", "import"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QTemporaryDir home, runtime;
    QVERIFY(home.isValid() && runtime.isValid());
    QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner));
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    QFile cfg(home.filePath("Pelto.cfg"));
    QVERIFY(cfg.open(QIODevice::WriteOnly));
    cfg.write("[Pelto SaveData Type 2]\r\nMainPlayer_X,20\r\nMainPlayer_Y,20\r\n"
              "PlayList_X,30\r\nPlayList_Y,200\r\n");
    cfg.close();
    QFile list(home.filePath("Pelto.m3u"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("first song.mp3\r\nsecond song.mp3\r\n");
    list.close();

    Processes processes;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The display: Xvfb says its number once it takes connections.
    QProcess* xvfb = processes.start(
        "Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"}, env);
    QVERIFY(xvfb->waitForStarted());
    QByteArray number;
    QVERIFY(QTest::qWaitFor(
        [&] {
            number += xvfb->readAllStandardOutput();
            return number.contains('\n');
        },
        15000));
    env.insert("DISPLAY", ':' + QString::fromLatin1(number.trimmed()));
    processes.start("openbox", {}, env);
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     return run(env, "xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"})
                         .contains("window id");
                 },
                 15000),
             "openbox did not start");

    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("SDL_AUDIODRIVER", "dummy");
    env.insert("PELTO_HOME", home.path());
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    processes.start(PELTO_BINARY_DIR "/pelto", {}, env);

    const auto visibleWindow = [&](const char* name) {
        const QStringList ids = xdotool(env, {"search", "--onlyvisible", "--name", name});
        return ids.isEmpty() ? QString() : ids.first();
    };
    QString main;
    QVERIFY(QTest::qWaitFor([&] { return !(main = visibleWindow("^Pelto$")).isEmpty(); }, 15000));
    QTest::qWait(500);
    QVERIFY(visibleWindow("^プレイリスト$").isEmpty());

    // The standard skin's playlist button lies at (262, 114), 36 × 20 pixels.
    const auto clickPlaylistButton = [&] {
        // Once the window manager has settled after the last change.
        QTest::qWait(500);
        xdotool(env, {"mousemove", "--window", main, "280", "124", "click", "1"});
    };
    QString playlist;
    clickPlaylistButton();
    QVERIFY(QTest::qWaitFor([&] { return !(playlist = visibleWindow("^プレイリスト$")).isEmpty(); },
                            5000));
    clickPlaylistButton();
    QVERIFY(QTest::qWaitFor([&] { return visibleWindow("^プレイリスト$").isEmpty(); }, 5000));
    clickPlaylistButton();
    QVERIFY(QTest::qWaitFor([&] { return !visibleWindow("^プレイリスト$").isEmpty(); }, 5000));
    QTest::qWait(300);
    const QRect shown = geometryOf(env, playlist);
    QCOMPARE(shown, QRect(30, 200, 321, 205)); // the saved place and the design size

    // Dragging the strip beside the title moves the window with the pointer.
    const QPoint grab = shown.topLeft() + QPoint(48, 9);
    const auto dragBy = [&](QPoint from, QPoint by) {
        const QPoint to = from + by;
        xdotool(env,
                {"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown",
                 "1", "sleep", "0.3", "mousemove", QString::number(from.x() + by.x() / 2),
                 QString::number(from.y() + by.y() / 2), "sleep", "0.2", "mousemove",
                 QString::number(to.x()), QString::number(to.y()), "sleep", "0.3", "mouseup", "1"});
    };
    dragBy(grab, {100, 60});
    QTRY_COMPARE(geometryOf(env, playlist), shown.translated(100, 60));

    // Dragging the bottom right corner resizes it.
    const QRect moved = geometryOf(env, playlist);
    dragBy(moved.bottomRight() - QPoint(1, 1), {80, 50});
    QTRY_COMPARE(geometryOf(env, playlist).size(), moved.size() + QSize(80, 50));
    const QRect resized = geometryOf(env, playlist);
    QCOMPARE(resized.topLeft(), moved.topLeft());

    // What the display shows: the close button 13 pixels from the client area's right
    // edge, and the list's empty rows down to its new bottom.
    QTest::qWait(300);
    const QString shot = home.filePath("window.png");
    run(env, "import", {"-window", playlist, shot});
    const QImage image(shot);
    QCOMPARE(image.size(), resized.size());
    const QImage close(QStringLiteral(PELTO_SOURCE_DIR "/src/playlistwindow/art/close.png"));
    const int frame = 4;
    const int clientRight = resized.width() - frame;
    QVERIFY(!close.isNull());
    QStringList differing;
    for (int y = 0; y < close.height(); ++y)
        for (int x = 0; x < close.width(); ++x)
            if (image.pixel(clientRight - 13 + x, frame + y) != close.pixel(x, y))
                differing << QStringLiteral("(%1,%2)").arg(x).arg(y);
    QVERIFY2(differing.isEmpty(), qPrintable(differing.join(u' ')));
    const QColor empty = image.pixelColor(frame + 20, resized.height() - frame - 30);
    QCOMPARE(empty, QColor(Qt::white));
}

QTEST_GUILESS_MAIN(TestPlaylistWindowX11)
#include "tst_playlist_window_x11.moc"
