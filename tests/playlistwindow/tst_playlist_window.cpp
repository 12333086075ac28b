// The playlist window on its real widgets (offscreen): rows selected by clicking,
// strip buttons pressed by the mouse with their images at each moment of the press,
// the repeat switch, sorting by each column, playing by double click and keys, drops
// wherever they land, moving and resizing, the dialogs of the add and save buttons,
// the values the window keeps in Pelto.cfg, and the find window's list following the
// playlist.
#include "ScreenGrab.h"
#include "WindowRig.h"

#include "common/Twips.h"
#include "player/AlwaysTop.h"
#include "playlist/PlaylistOperations.h"
#include "playlist/RowFinder.h"
#include "playlistwindow/FindSongForm.h"
#include "playlistwindow/StripLayout.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

using namespace pelto;
using namespace pelto::test;
using namespace Qt::StringLiterals;

namespace {

// A left-button drag on `w` from `from` by `by`, in one move.
void drag(QWidget* w, QPoint from, QPoint by, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint global = w->mapToGlobal(from);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(w->mapFromGlobal(at)), QPointF(at), b, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(w, &event);
    };
    send(QEvent::MouseButtonPress, global, button, button);
    send(QEvent::MouseMove, global + by, Qt::NoButton, button);
    send(QEvent::MouseButtonRelease, global + by, button, Qt::NoButton);
}

// Drops the data at a point of the window the way Qt delivers it: to the widget there
// or the nearest of its parents that takes drops (which passes the drag on to its own
// parents when it turns it down).
void dropAt(QWidget& window, QPoint pos, const QMimeData& data) {
    QWidget* target = window.childAt(pos);
    if (!target)
        target = &window;
    while (!target->isWindow() && !target->acceptDrops())
        target = target->parentWidget();
    if (!target->acceptDrops())
        return;
    const QPoint local = target->mapFrom(&window, pos);
    QDragEnterEvent enter(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return;
    QDragMoveEvent move(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // A move comes accepted when the enter was, for an action other than none.
    if (enter.dropAction() != Qt::IgnoreAction) {
        move.setDropAction(enter.dropAction());
        move.accept();
    }
    QCoreApplication::sendEvent(target, &move);
    if (!move.isAccepted())
        return;
    QDropEvent drop(QPointF(local), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

// Runs `inDialog` on the next file dialog once it shows (the buttons open theirs
// after their pressed moment); one left open is cancelled.
void whenDialogShows(std::function<void(QFileDialog*)> inDialog) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inDialog] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        inDialog(dialog);
        if (dialog->isVisible())
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    });
    poll->start(10);
}

void typeAndAccept(QFileDialog* dialog, const QString& folder, const QString& names) {
    dialog->setDirectory(folder);
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(names);
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QPushButton* ok =
        buttons->button(dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                        : QDialogButtonBox::Open);
    QVERIFY(QTest::qWaitFor([&] { return ok->isEnabled(); }));
    ok->click();
}

} // namespace

class TestPlaylistWindow : public QObject {
    Q_OBJECT
private slots:
    void buttonsShowTheirPressedImageThenAct_data();
    void buttonsShowTheirPressedImageThenAct();
    void shuffleKeepsTheCurrentSongHighlighted();
    void repeatSwitchGoesThroughItsFourImages();
    void headerClickSortsOnceByThatColumn_data();
    void headerClickSortsOnceByThatColumn();
    void doubleClickAndKeysPlayTheFocusedRow();
    void dropsAddFilesWhereTheyLand_data();
    void dropsAddFilesWhereTheyLand();
    void stripMovesAndBorderResizes();
    void borderAndStripLeaveNoGap();
    void addAndSaveGoThroughTheirDialogs();
    void showingHidingAndTheConfiguration();
    void playingRowScrollsIntoView();
    void findWindowFollowsThePlaylist();
};

void TestPlaylistWindow::buttonsShowTheirPressedImageThenAct_data() {
    QTest::addColumn<QString>("letters");
    QTest::addColumn<int>("current");    // PlayListTrNum before, highlighted when in the list
    QTest::addColumn<QString>("clicks"); // see WindowRig::clickRows
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("titles");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("trNum");
    QTest::addColumn<QString>("bold");

    QTest::newRow("delete rows 2 and 4 while row 5 plays") << "abcde" << 5 << "2 ^4"
                                                           << "DelItemBtm"
                                                           << "DelItem2Btm" << 11 << "ace"
                                                           << "..1" << 3 << "e";
    QTest::newRow("delete the current row") << "abcde" << 3 << "3"
                                            << "DelItemBtm"
                                            << "DelItem2Btm" << 11 << "abde"
                                            << "..1." << 3 << "";
    QTest::newRow("delete with nothing selected") << "abc" << 2 << ""
                                                  << "DelItemBtm"
                                                  << "DelItem2Btm" << 11 << "abc"
                                                  << "..." << 2 << "b";
    QTest::newRow("move rows 2 and 3 up") << "abcde" << 1 << "2 +3"
                                          << "UpItemBtm"
                                          << "UpItem2Btm" << 12 << "bcade"
                                          << "11..." << 3 << "a";
    // The highlight is set again afterwards, which makes row 1 current when none was.
    QTest::newRow("rows 1 and 2 stay at the top") << "abcde" << 0 << "1 +2"
                                                  << "UpItemBtm"
                                                  << "UpItem2Btm" << 12 << "abcde"
                                                  << "11..." << 1 << "a";
    QTest::newRow("the current row moves with its highlight") << "abcde" << 2 << "2"
                                                              << "UpItemBtm"
                                                              << "UpItem2Btm" << 12 << "bacde"
                                                              << "1...." << 1 << "b";
    QTest::newRow("move rows 2 and 4 down") << "abcde" << 4 << "2 ^4"
                                            << "DownItemBtm"
                                            << "DowmItem2Btm" << 13 << "acbed"
                                            << "..1.1" << 5 << "d";
    QTest::newRow("the last row stays at the bottom") << "abcde" << 0 << "5"
                                                      << "DownItemBtm"
                                                      << "DowmItem2Btm" << 13 << "abcde"
                                                      << "....1" << 1 << "a";
    QTest::newRow("shuffle one row") << "a" << 1 << "1"
                                     << "RndItemBtm"
                                     << "RndItem2Btm" << 14 << "a"
                                     << "1" << 1 << "a";
    QTest::newRow("shuffle no row") << "" << 0 << ""
                                    << "RndItemBtm"
                                    << "RndItem2Btm" << 14 << ""
                                    << "" << 0 << "";
}

void TestPlaylistWindow::buttonsShowTheirPressedImageThenAct() {
    QFETCH(QString, letters);
    QFETCH(int, current);
    QFETCH(QString, clicks);
    QFETCH(QString, button);
    QFETCH(QString, pressed);
    QFETCH(int, code);
    WindowRig rig(letters, current);
    rig.clickRows(clicks);
    QWidget* normal = rig.control(qPrintable(button));
    QWidget* pressedImage = rig.control(qPrintable(pressed));
    QVERIFY(normal->isVisible() && pressedImage->isVisible());
    QCOMPARE(normal->geometry(), pressedImage->geometry());
    // Both pictures are there at their natural size, the pressed one darker.
    const auto lightness = [](QWidget* w) {
        const QImage image = static_cast<StripImage*>(w)->picture();
        qint64 sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += qGray(image.pixel(x, y));
        return image.isNull() ? -1 : sum / (image.width() * image.height());
    };
    QCOMPARE(normal->size(), static_cast<StripImage*>(normal)->picture().size());
    QVERIFY(lightness(pressedImage) >= 0 && lightness(pressedImage) < lightness(normal));
    QVERIFY(normal->geometry().contains(pressedImage->geometry().center()) &&
            rig.form.childAt(normal->geometry().center()) == normal);

    QTest::mouseClick(normal, Qt::LeftButton);
    // Pressed: the normal image is hidden, so the pressed one beneath shows, and the
    // rows are as they were.
    QVERIFY(normal->isHidden());
    QCOMPARE(rig.form.childAt(pressedImage->geometry().center()), pressedImage);
    QCOMPARE(rig.logic.buttons.PressedButton(), code);
    QCOMPARE(rig.titles(), letters);
    // Popped up: then the button has acted.
    QTRY_VERIFY(!normal->isHidden());
    QCOMPARE(rig.logic.buttons.PressedButton(), int(NoButton));
    QTEST(rig.titles(), "titles");
    QTEST(rig.selection(), "selected");
    QTEST(rig.trNum(), "trNum");
    QTEST(rig.bold(), "bold");
}

void TestPlaylistWindow::shuffleKeepsTheCurrentSongHighlighted() {
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    WindowRig rig(letters, 5);
    rig.clickRows("2 +9");
    QString orders;
    for (int press = 0; press < 3; ++press) {
        const QString song = rig.playlist.row(rig.trNum()).title;
        QTest::mouseClick(rig.control("RndItemBtm"), Qt::LeftButton);
        QVERIFY(rig.control("RndItemBtm")->isHidden());
        QTRY_VERIFY(!rig.control("RndItemBtm")->isHidden());
        QString sorted = rig.titles();
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, letters);
        QCOMPARE(rig.selection(), u'1' + QString(letters.size() - 1, u'.'));
        QCOMPARE(rig.bold(), song);
        QCOMPARE(rig.playlist.row(rig.trNum()).title, song);
        orders += rig.titles() + u' ';
        QTest::qWait(2); // the next press draws from another seed
    }
    // Three orders of 26 rows alike by chance: 1 in (26!)².
    const QStringList three = orders.split(u' ', Qt::SkipEmptyParts);
    QVERIFY(three[0] != three[1] || three[1] != three[2]);
}

void TestPlaylistWindow::repeatSwitchGoesThroughItsFourImages() {
    WindowRig rig("ab");
    QWidget* face = rig.control("RepeatBtmFace");
    QCOMPARE(face->geometry(), rig.control("RepeatBtm")->geometry());
    QCOMPARE(rig.form.childAt(face->geometry().center()), face);
    QCOMPARE(rig.repeatImagesShown(), QStringList{"RepeatBtm"});

    const struct {
        const char* pressedImage;
        const char* after;
        bool on;
    } clicks[] = {{"Repeat2Btm", "Repeat_OnBtm", true}, {"Repeat_On2Btm", "RepeatBtm", false}};
    for (const auto& click : clicks) {
        const bool before = rig.player.repeatOn();
        QTest::mouseClick(face, Qt::LeftButton);
        QCOMPARE(rig.repeatImagesShown(), QStringList{click.pressedImage});
        QCOMPARE(rig.logic.buttons.PressedButton(), int(PlainPause));
        QCOMPARE(rig.player.repeatOn(), before); // it turns once it pops up
        // A second click within the pressed moment does not turn it again.
        QTest::mouseClick(face, Qt::LeftButton);
        QTRY_COMPARE(rig.repeatImagesShown(), QStringList{click.after});
        QCOMPARE(rig.player.repeatOn(), click.on);
        QCOMPARE(rig.settings.RepeatPlay, std::uint8_t(click.on ? 1 : 0));
        QTest::qWait(100);
        QCOMPARE(rig.repeatImagesShown(), QStringList{click.after});
    }

    // Repeat set elsewhere (the configuration) shows at once.
    rig.player.setRepeat(true);
    QCOMPARE(rig.repeatImagesShown(), QStringList{"Repeat_OnBtm"});
    rig.settings.RepeatPlay = 0; // as the load's defaults do, without a word
    rig.form.applyConfig(rig.settings);
    QCOMPARE(rig.repeatImagesShown(), QStringList{"RepeatBtm"});
}

void TestPlaylistWindow::headerClickSortsOnceByThatColumn_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("current"); // row highlighted before, 0 for none
    QTest::addColumn<QString>("order");
    QTest::addColumn<int>("trNum");
    QTest::addColumn<QString>("bold");

    // Rows p, q, r, s as made below; r is selected before the sort.
    QTest::newRow("title, ignoring case") << 0 << 1 << "qrps" << 3 << "p";
    QTest::newRow("artist, empty first") << 1 << 3 << "qrsp" << 2 << "r";
    // 09:59 before 10:00, and 100:00 before 10:00 and 99:00.
    QTest::newRow("length as text") << 2 << 1 << "qpsr" << 2 << "p";
    QTest::newRow("path") << 3 << 4 << "rqsp" << 3 << "s";
    QTest::newRow("no current row") << 0 << 0 << "qrps" << 1 << "";
}

void TestPlaylistWindow::headerClickSortsOnceByThatColumn() {
    QFETCH(int, column);
    QFETCH(int, current);
    WindowRig rig;
    const PlaylistRow rows[] = {{"p", "Zoe", "100:00", "/m/4/p.mp3"},
                                {"q", "", "09:59", "/m/2/q.mp3"},
                                {"r", "amy", "99:00", "/m/1/r.mp3"},
                                {"s", "Bob", "10:00", "/m/3/s.mp3"}};
    // Titles that sort in another order than the letters; the letter is in the path.
    const char* titles[] = {"delta", "Alpha", "beta", "gamma"};
    for (size_t i = 0; i < std::size(rows); ++i) {
        PlaylistRow row = rows[i];
        row.title = QLatin1String(titles[i]);
        rig.addRow(row);
    }
    rig.playlist.setPlayListTrNum(current);
    if (current)
        rig.playlist.SetPlayListColor();
    rig.clickRows("3");
    const auto letters = [&] {
        QString s;
        for (const QString& path : rig.playlist.paths())
            s += path.at(path.size() - 5);
        return s;
    };
    const auto boldLetter = [&] {
        const int row = rig.playlist.FindPlayingRow();
        return rig.playlist.isHighlighted(row) ? QString(letters().at(row - 1)) : QString();
    };

    rig.clickHeader(column);
    QTEST(letters(), "order");
    QTEST(rig.trNum(), "trNum");
    QTEST(boldLetter(), "bold");
    QCOMPARE(rig.selection().indexOf(u'1'), letters().indexOf(u'r'));
    // Once, ascending, and again ascending: no second order.
    rig.clickHeader(column);
    QTEST(letters(), "order");
    // Later rows are appended unsorted.
    rig.addRow({"0", "0", "00:00", "/m/0/o.mp3"});
    QCOMPARE(letters().back(), u'o');
}

void TestPlaylistWindow::doubleClickAndKeysPlayTheFocusedRow() {
    WindowRig rig("abcd", 1);
    // A double click on a row plays it.
    QTest::mouseDClick(rig.viewport(), Qt::LeftButton, {}, rig.rowCenter(3));
    QCOMPARE(rig.decoder->opened.last(), QStringLiteral("/m/c.mp3"));
    QCOMPARE(rig.trNum(), 3);
    QCOMPARE(rig.bold(), QStringLiteral("c"));
    QCOMPARE(rig.player.DmyFileName(), QStringLiteral("/m/c.mp3"));

    // In the empty area below the rows: the focused row plays, although the first
    // click there took the selection away.
    rig.clickRows("2");
    const QPoint below(rig.rowCenter(4).x(), rig.rowCenter(4).y() + 60);
    QVERIFY(!rig.view()->indexAt(below).isValid());
    QTest::mouseDClick(rig.viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(rig.decoder->opened.last(), QStringLiteral("/m/b.mp3"));
    QCOMPARE(rig.trNum(), 2);
    QCOMPARE(rig.bold(), QStringLiteral("b"));

    // Enter plays the focused row; Ctrl+A selects every row and Delete removes them.
    rig.clickRows("4");
    QTest::keyClick(rig.view(), Qt::Key_Return);
    QCOMPARE(rig.decoder->opened.last(), QStringLiteral("/m/d.mp3"));
    QTest::keyClick(rig.view(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(rig.selection(), QStringLiteral("1111"));
    QTest::keyClick(rig.view(), Qt::Key_Delete);
    QCOMPARE(rig.playlist.count(), 0);

    // With no rows, nothing plays.
    const qsizetype opened = rig.decoder->opened.size();
    QTest::mouseDClick(rig.viewport(), Qt::LeftButton, {}, below);
    QTest::keyClick(rig.view(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(rig.decoder->opened.size(), opened);
}

void TestPlaylistWindow::dropsAddFilesWhereTheyLand_data() {
    QTest::addColumn<QString>("target"); // a control, "list" or "strip" (its background)
    QTest::addColumn<bool>("adds");
    QTest::newRow("list") << "list" << true;
    QTest::newRow("strip background") << "strip" << true;
    QTest::newRow("title") << "TitleBar" << true;
    for (const char* button :
         {"AddItemBtm", "DelItemBtm", "UpItemBtm", "DownItemBtm", "RndItemBtm", "CloseBtm"})
        QTest::newRow(button) << button << true;
    QTest::newRow("save button") << "SaveListBtm" << false;
    QTest::newRow("repeat switch") << "RepeatBtmFace" << false;
}

void TestPlaylistWindow::dropsAddFilesWhereTheyLand() {
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("folder") && QDir(dir.path()).mkpath("album.old"));
    const QString list = dir.filePath("list.m3u");
    QFile m3u(list);
    QVERIFY(m3u.open(QIODevice::WriteOnly));
    m3u.write("#EXTM3U\r\nx.mp3\r\n/elsewhere/y.txt\r\n");
    m3u.close();

    WindowRig rig("a", 1);
    QPoint at;
    if (target == u"list")
        at = rig.view()->mapTo(&rig.form, rig.viewport()->geometry().center());
    else if (target == u"strip")
        at = stripControlRect(StripControl::TitleBar, rig.form.size()).topRight() + QPoint(8, 4);
    else
        at = rig.control(qPrintable(target))->geometry().center();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("b.mp3")),
                  QUrl::fromLocalFile(dir.filePath("folder")),
                  QUrl::fromLocalFile(dir.filePath("album.old")),
                  QUrl::fromLocalFile(dir.filePath("notes.txt")), QUrl::fromLocalFile(list),
                  QUrl("https://example.org/c.mp3"), QUrl::fromLocalFile(dir.filePath("D.WAV"))});
    dropAt(rig.form, at, data);
    QFETCH(bool, adds);
    const QStringList expected =
        adds ? QStringList{"/m/a.mp3", dir.filePath("b.mp3"), dir.filePath("x.mp3"),
                           "/elsewhere/y.txt", dir.filePath("D.WAV")}
             : QStringList{"/m/a.mp3"};
    QCOMPARE(rig.playlist.paths(), expected);
    // Nothing plays and the current row stays.
    QVERIFY(rig.decoder->opened.isEmpty());
    QCOMPARE(rig.trNum(), 1);

    // A drop without local files adds nothing.
    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/d.mp3")});
    dropAt(rig.form, at, remote);
    QCOMPARE(rig.playlist.paths(), expected);
}

// On a screen of any scale (the test runs again at 1.5) the border's rings and the
// strip meet without the window's background showing between them, although lines of
// one pixel round to one or two screen pixels at 1.5.
void TestPlaylistWindow::borderAndStripLeaveNoGap() {
    WindowRig rig("abc");
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    const auto [shown, ratio] = test::grabOnScreen(rig.form);
    QCOMPARE(ratio, qApp->devicePixelRatio());
    const QRgb background = rig.form.palette().window().color().rgb();
    // Down through the border and the strip in the middle of the window, and across
    // the left border beside the list.
    const int middleX = shown.width() / 2;
    for (int y = 0; y < int((kFrameWidth + kStripHeight) * ratio); ++y)
        QVERIFY2(shown.pixel(middleX, y) != background, qPrintable(QString::number(y)));
    const int middleY = shown.height() / 2;
    for (int x = 0; x < int(kFrameWidth * ratio); ++x)
        QVERIFY2(shown.pixel(x, middleY) != background, qPrintable(QString::number(x)));
}

void TestPlaylistWindow::stripMovesAndBorderResizes() {
    WindowRig rig("abc");
    PlayListForm& form = rig.form;
    QCOMPARE(clientRectOf(form.size()).size(), kDesignClientSize);
    form.move(200, 150);

    // The strip's background and the title move the window, other buttons than the
    // left one and the strip's buttons do not.
    const QPoint background =
        stripControlRect(StripControl::TitleBar, form.size()).topRight() + QPoint(10, 5);
    const struct {
        QWidget* on;
        QPoint from;
        Qt::MouseButton button;
        QPoint by;
        bool moves;
    } drags[] = {
        {&form, background, Qt::LeftButton, {30, 20}, true},
        {rig.control("TitleBar"), {5, 5}, Qt::LeftButton, {-12, 7}, true},
        {&form, background, Qt::RightButton, {30, 20}, false},
        {rig.control("DelItemBtm"), {5, 5}, Qt::LeftButton, {30, 20}, false},
        {rig.viewport(), {5, 5}, Qt::LeftButton, {30, 20}, false},
    };
    for (const auto& d : drags) {
        const QPoint before = form.pos();
        drag(d.on, d.from, d.by, d.button);
        QCOMPARE(form.pos() - before, d.moves ? d.by : QPoint());
    }
    QCOMPARE(rig.playlist.count(), 3); // the button's press was no click

    // The border resizes: the list fills the client area below the strip and the
    // close button keeps to the right edge.
    const auto followsTheSize = [&] {
        const QRect client = clientRectOf(form.size());
        QCOMPARE(rig.view()->geometry(),
                 QRect(client.left(), client.top() + 12, client.width(), client.height() - 12));
        QCOMPARE(rig.control("CloseBtm")->geometry(),
                 QRect(client.left() + client.width() - 13, client.top(), 12, 12));
    };
    followsTheSize();
    const QRect start = form.geometry();
    const QPoint corner(form.width() - 2, form.height() - 2);
    drag(&form, corner, {80, 50});
    QCOMPARE(form.geometry(), start.adjusted(0, 0, 80, 50));
    followsTheSize();
    drag(&form, {1, form.height() / 2}, {20, 90});
    QCOMPARE(form.geometry(), start.adjusted(20, 0, 80, 50));
    // Not smaller than the title and the close button over a sliver of the list.
    drag(&form, {form.width() / 2, 1}, {0, 1000});
    QCOMPARE(form.height(), outerSizeFor(kMinimumClientSize).height());
    QCOMPARE(form.geometry().bottom(), start.adjusted(20, 0, 80, 50).bottom());
    followsTheSize();

    // FormSet with AutoResize gives the outer size in twips.
    form.FormSet(1, pixelsToTwips(400), pixelsToTwips(300));
    QCOMPARE(form.size(), QSize(400, 300));
    QTRY_COMPARE(rig.view()->width(), 400 - 2 * kFrameWidth);
    followsTheSize();
}

void TestPlaylistWindow::addAndSaveGoThroughTheirDialogs() {
    QTemporaryDir dir;
    for (const char* name : {"one.mp3", "two.wav", "three.txt"}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    WindowRig rig("a", 1);

    QString title;
    whenDialogShows([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        // The add button popped up before its dialog came.
        QVERIFY(!rig.control("AddItemBtm")->isHidden());
        typeAndAccept(dialog, dir.path(), "\"one.mp3\" \"three.txt\" \"two.wav\"");
    });
    QTest::mouseClick(rig.control("AddItemBtm"), Qt::LeftButton);
    QVERIFY(rig.control("AddItemBtm")->isHidden());
    QTRY_COMPARE(rig.playlist.count(), 4);
    QCOMPARE(title, QStringLiteral("プレイリストに追加する"));
    QCOMPARE(rig.playlist.paths(),
             (QStringList{"/m/a.mp3", dir.filePath("one.mp3"), dir.filePath("three.txt"),
                          dir.filePath("two.wav")}));
    QVERIFY(rig.decoder->opened.isEmpty());

    // The save dialog writes the name as typed, without adding ".m3u".
    whenDialogShows([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        QCOMPARE(dialog->nameFilters(), QStringList{"プレイリスト(*.m3u) (*.m3u)"});
        typeAndAccept(dialog, dir.path(), "saved");
    });
    QTest::mouseClick(rig.control("SaveListBtm"), Qt::LeftButton);
    QVERIFY(rig.control("SaveListBtm")->isHidden());
    QTRY_VERIFY(QFile::exists(dir.filePath("saved")));
    QCOMPARE(title, QStringLiteral("プレイリストに保存する"));
    QFile saved(dir.filePath("saved"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("/m/a.mp3\r\none.mp3\r\nthree.txt\r\ntwo.wav\r\n"));
    QVERIFY(!QFile::exists(dir.filePath("saved.m3u")));

    // Cancelled dialogs change nothing.
    whenDialogShows([](QFileDialog* dialog) { dialog->reject(); });
    QTest::mouseClick(rig.control("AddItemBtm"), Qt::LeftButton);
    QTRY_VERIFY(!QApplication::activeModalWidget() && !rig.control("AddItemBtm")->isHidden());
    QTest::qWait(100);
    QCOMPARE(rig.playlist.count(), 4);
}

void TestPlaylistWindow::showingHidingAndTheConfiguration() {
    WindowRig rig("abc");
    PlayListForm& form = rig.form;
    // The main window's playlist button and the close button go through the command.
    rig.commands.run(Command::View_PlayList);
    QVERIFY(!form.isVisible());
    rig.commands.run(Command::View_PlayList);
    QVERIFY(form.isVisible());
    QTest::mouseClick(rig.control("CloseBtm"), Qt::LeftButton);
    QVERIFY(!form.isVisible());
    // The add command is the window's.
    whenDialogShows([](QFileDialog* dialog) { dialog->reject(); });
    rig.commands.run(Command::AddSound_PlayList);
    QVERIFY(!QApplication::activeModalWidget());

    // Places are kept in the screen's pixels (the test runs again at scale 1.5).
    const qreal ratio = qApp->devicePixelRatio();
    Settings in;
    in.PlayList_X = pixelsToTwips(qRound(40 * ratio));
    in.PlayList_Y = pixelsToTwips(qRound(60 * ratio));
    in.PlayList_Size = QSize(pixelsToTwips(420), pixelsToTwips(250));
    in.PlayListView_ItemSize = {87.5f, 100, std::nullopt, 321};
    in.RepeatPlay = 1;
    rig.settings.RepeatPlay = 1;
    form.applyConfig(in);
    QCOMPARE(form.geometry(), QRect(40, 60, 420, 250));
    QCOMPARE(rig.view()->columnWidth(0), 88);
    QCOMPARE(rig.view()->columnWidth(2), 43);
    QCOMPARE(rig.view()->columnWidth(3), 321);
    QCOMPARE(rig.repeatImagesShown(), QStringList()); // hidden window
    QVERIFY(!rig.control("Repeat_OnBtm")->isHidden());

    Settings out = in;
    form.storeConfig(out);
    QCOMPARE(out, [&] {
        Settings s = in;
        s.PlayListView_ItemSize[2] = 43; // the width it has
        s.PlayList_Visible = 0;
        return s;
    }());
    rig.commands.run(Command::View_PlayList);
    rig.view()->setColumnWidth(0, 90);
    form.storeConfig(out);
    QCOMPARE(out.PlayList_Visible, std::int16_t(-1));
    QCOMPARE(out.PlayListView_ItemSize[0], std::optional<float>(90));
    QCOMPARE(out.PlayListView_ItemSize[2], std::optional<float>(43));
}

void TestPlaylistWindow::playingRowScrollsIntoView() {
    WindowRig rig;
    for (int i = 1; i <= 2000; ++i)
        rig.addRow({QString::number(i), {}, "00:10", QStringLiteral("/m/%1.mp3").arg(i)});
    const auto inSight = [&](int row) {
        return rig.viewport()->rect().contains(
            rig.view()->visualRect(rig.playlist.index(row - 1, 0)));
    };
    QVERIFY(!inSight(1500));
    // A request while the window is hidden (the saved current row at start) shows once
    // the window does.
    rig.form.hide();
    rig.playlist.requestScrollTo(1200);
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    QTRY_VERIFY(inSight(1200));
    rig.view()->scrollToTop();
    rig.settings.AutoScrollPlayList = 0;
    rig.player.playRow(1500);
    QVERIFY(!inSight(1500));
    rig.settings.AutoScrollPlayList = 1;
    rig.player.playRow(1500);
    QVERIFY(inSight(1500));
}

// The find window's list, as it shows it: "number:title" per line, the chosen line
// marked "*".
static QString listed(const FindSongForm& find) {
    QStringList lines;
    const QAbstractItemModel* rows = find.list()->model();
    for (int line = 0; line < rows->rowCount(); ++line)
        lines << (find.list()->currentIndex().row() == line ? u"*"_s : QString()) +
                     rows->index(line, 0).data().toString() + u':' +
                     rows->index(line, 1).data().toString();
    return lines.join(u' ');
}

void TestPlaylistWindow::findWindowFollowsThePlaylist() {
    WindowRig rig;
    for (const char* title : {"さくら", "Rain", "サクラ咲ケ", "Home", "ｻｸﾗ", "Coffee"})
        rig.addRow({QString::fromUtf8(title), u"artist"_s, u"03:00"_s,
                    u"/m/%1.mp3"_s.arg(QString::fromUtf8(title))});
    const auto shortcut = [&](Qt::Key key) {
        QApplication::setActiveWindow(&rig.form);
        QTest::keyClick(rig.view(), key, Qt::ControlModifier);
    };
    shortcut(Qt::Key_F);
    auto* find = rig.form.findWindow();
    QVERIFY(find && find->isVisible());
    for (const QString& letter : {u"さ"_s, u"く"_s})
        QTest::sendKeyEvent(QTest::Click, find->field(), Qt::Key_unknown, letter, {});
    QCOMPARE(listed(*find), u"*1:さくら 3:サクラ咲ケ 5:ｻｸﾗ"_s);
    QTest::keyClick(find->field(), Qt::Key_Down);
    QCOMPARE(listed(*find), u"1:さくら *3:サクラ咲ケ 5:ｻｸﾗ"_s);

    // Rows deleted above the chosen one, the chosen one, a sort, a shuffle, rows added:
    // the list follows with the song kept chosen, or the line it was on.
    rig.playlist.selectOnly(2);
    PlaylistOperations::deleteSelected(rig.playlist);
    QCOMPARE(listed(*find), u"1:さくら *2:サクラ咲ケ 4:ｻｸﾗ"_s);
    PlaylistOperations::sortByColumn(rig.playlist, 0);
    QCOMPARE(listed(*find), u"3:さくら *4:サクラ咲ケ 5:ｻｸﾗ"_s);
    PlaylistOperations::shuffle(rig.playlist, [] { return 0.99; });
    const int chosen = find->chosenRow();
    QCOMPARE(rig.playlist.row(chosen).title, u"サクラ咲ケ"_s);
    rig.playlist.selectOnly(chosen);
    PlaylistOperations::deleteSelected(rig.playlist);
    QCOMPARE(find->list()->model()->rowCount(), 2);
    rig.addRow({u"さくらんぼ"_s, u"artist"_s, u"03:00"_s, u"/m/cherry.mp3"_s});
    QVERIFY(listed(*find).endsWith(u" 5:さくらんぼ"_s));

    // Shift+Enter selects the chosen row in the playlist and leaves the window open;
    // Enter plays it the way a double click does and closes the window.
    QTest::keyClick(find->field(), Qt::Key_PageDown);
    QTest::keyClick(find->field(), Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(find->isVisible());
    QCOMPARE(rig.playlist.selectionFlags(), std::vector<bool>({false, false, false, false, true}));
    QCOMPARE(rig.playlist.focusedRow(), 5);
    QTest::keyClick(find->field(), Qt::Key_Up);
    const int up = find->chosenRow();
    QTest::keyClick(find->field(), Qt::Key_Return);
    QVERIFY(!find->isVisible());
    QCOMPARE(rig.trNum(), up);
    QCOMPARE(rig.decoder->opened.last(), rig.playlist.path(up));
    QCOMPARE(rig.playlist.focusedRow(), up);

    // Hiding the playlist window takes the find window along; Esc closes it.
    shortcut(Qt::Key_J);
    QVERIFY(find->isVisible());
    QCOMPARE(find->field()->selectedText(), u"さく"_s);
    rig.form.View_PlayList_Menu_Click();
    QTRY_VERIFY(!find->isVisible());
    rig.form.View_PlayList_Menu_Click();
    shortcut(Qt::Key_F);
    QVERIFY(find->isVisible());
    // Keeping the playlist window on top hides and shows it: the find window stays.
    SetAlwaysTop(&rig.form, true);
    QTest::qWait(20);
    QVERIFY(find->isVisible());
    QTest::keyClick(find->field(), Qt::Key_Escape);
    QVERIFY(!find->isVisible());

    // Rows that change while it is closed are listed as they are when it opens again.
    rig.playlist.selectOnly(1);
    PlaylistOperations::deleteSelected(rig.playlist);
    rig.addRow({u"サクサク"_s, u"artist"_s, u"03:00"_s, u"/m/crisp.mp3"_s});
    shortcut(Qt::Key_F);
    RowFinder fresh(rig.playlist);
    fresh.setQuery(u"さく");
    QCOMPARE(find->finder().rows(), fresh.rows());
    QVERIFY(listed(*find).endsWith(u":サクサク"_s));
}

QTEST_MAIN(TestPlaylistWindow)
#include "tst_playlist_window.moc"
