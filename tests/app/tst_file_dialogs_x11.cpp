// The file dialogs of the real program on a real X display (a private Xvfb with
// openbox, started here): the open dialog (key A) and the add dialog (key S) open
// centred over the main window wherever it stands, large enough for names, sizes and
// types, and a size the user gave one dialog is the next one's.
#include "Desktop.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto::test;

namespace {

QRect windowIn(const QString& stateFile) {
    const QJsonArray w =
        QJsonDocument::fromJson(readFile(stateFile)).object().value("window").toArray();
    return w.size() == 4 ? QRect(w[0].toInt(), w[1].toInt(), w[2].toInt(), w[3].toInt()) : QRect();
}

// A window's place and size with the frame its window manager drew around it.
QRect framed(Desktop& desktop, const QString& id) {
    const QRect client = desktop.geometryOf(id);
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"
    const QStringList extents = desktop.run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"})
                                    .section(u'=', 1)
                                    .split(u',', Qt::SkipEmptyParts);
    if (extents.size() != 4)
        return client;
    return client.adjusted(-extents[0].trimmed().toInt(), -extents[2].trimmed().toInt(),
                           extents[1].trimmed().toInt(), extents[3].trimmed().toInt());
}

} // namespace

class TestFileDialogsX11 : public QObject {
    Q_OBJECT
private slots:
    void dialogsOpenCentredAndKeepTheirSize();
};

void TestFileDialogsX11::dialogsOpenCentredAndKeepTheirSize() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    Desktop desktop;
    QVERIFY2(desktop.start(QStringLiteral("1600x1000x24")), "no display with a window manager");
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    // The main window right of the middle and low, with room around it for the dialogs.
    QVERIFY(writeFile(home.filePath("Pelto.cfg"),
                      "[Pelto SaveData Type 2]\r\nMainPlayer_X,700\r\nMainPlayer_Y,500\r\n"));
    const QString state = home.filePath("state.json");
    desktop.startPelto(home.path(), state, home.filePath("played.raw"));
    QVERIFY(QTest::qWaitFor([&] { return windowIn(state).isValid(); }, 20000));
    const QRect main = windowIn(state);
    // The state file is written as the window is shown; the window manager maps it a
    // moment later.
    QString mainId;
    QVERIFY(QTest::qWaitFor(
        [&] {
            for (const QString& id : desktop.windowsOfClass("pelto"))
                if (desktop.geometryOf(id).size() == main.size())
                    mainId = id;
            return !mainId.isEmpty();
        },
        10000));

    struct Opening {
        const char* key;
        const char* title;
    };
    const QSize given(900, 640);
    bool first = true;
    for (const Opening& opening :
         {Opening{"a", "^ファイルを開く$"}, Opening{"s", "^プレイリストに追加する$"}}) {
        desktop.xdotool({"windowactivate", "--sync", mainId});
        desktop.keys({opening.key});
        QString dialog;
        QVERIFY2(
            QTest::qWaitFor(
                [&] { return !(dialog = desktop.windowNamed(opening.title)).isEmpty(); }, 15000),
            opening.title);
        // The window manager places and frames it a moment after it maps.
        QTest::qWait(300);
        const QRect placed = desktop.geometryOf(dialog);
        const QRect frame = framed(desktop, dialog);
        const QRect over = desktop.geometryOf(mainId);
        qInfo("%s at %d,%d %dx%d (framed %d,%d %dx%d); main window at %d,%d %dx%d", opening.title,
              placed.x(), placed.y(), placed.width(), placed.height(), frame.x(), frame.y(),
              frame.width(), frame.height(), over.x(), over.y(), over.width(), over.height());
        // Centred over the main window, within the frame the window manager added.
        const QPoint off = frame.center() - over.center();
        QVERIFY2(std::abs(off.x()) <= 4 + frame.width() - placed.width() &&
                     std::abs(off.y()) <= 4 + frame.height() - placed.height(),
                 opening.title);
        if (first) {
            QVERIFY(placed.width() >= 760 && placed.height() >= 480);
            desktop.xdotool({"windowsize", "--sync", dialog, QString::number(given.width()),
                             QString::number(given.height())});
            QTRY_COMPARE(desktop.geometryOf(dialog).size(), given);
        } else {
            QCOMPARE(placed.size(), given);
        }
        desktop.keys({"Escape"});
        QVERIFY(
            QTest::qWaitFor([&] { return desktop.windowNamed(opening.title).isEmpty(); }, 10000));
        first = false;
    }
}

QTEST_GUILESS_MAIN(TestFileDialogsX11)
#include "tst_file_dialogs_x11.moc"
