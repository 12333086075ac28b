// The row operations: delete, move up and down, shuffle and sort, each keeping the
// current song, its highlight and the selection where they belong.
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistOperations.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace pelto;
using namespace Qt::StringLiterals;

namespace {

using Ops = PlaylistOperations;

// Rows whose titles are the given letters; the path is "/<letter>.mp3".
void fill(PlaylistModel& model, const QString& letters) {
    for (QChar c : letters)
        model.appendRow(
            {QString(c), QString(), QStringLiteral("00:00"), QStringLiteral("/%1.mp3").arg(c)});
}

QString titles(const PlaylistModel& model) {
    QString s;
    for (int i = 1; i <= model.count(); ++i)
        s += model.row(i).title;
    return s;
}

// "1" for selected rows, "." for others.
QString selection(const PlaylistModel& model) {
    QString s;
    for (int i = 1; i <= model.count(); ++i)
        s += model.isSelected(i) ? u'1' : u'.';
    return s;
}

QString highlighted(const PlaylistModel& model) {
    QString s;
    for (int i = 1; i <= model.count(); ++i)
        if (model.isHighlighted(i))
            s += model.row(i).title;
    return s;
}

void select(PlaylistModel& model, std::initializer_list<int> rows) {
    for (int r : rows)
        model.setSelected(r, true);
}

void makeCurrent(PlaylistModel& model, int row) {
    model.CancelPlayListColor();
    model.setPlayListTrNum(row);
    model.SetPlayListColor();
}

// Replays a fixed sequence of uniform draws.
std::function<double()> draws(QList<double> values) {
    auto left = std::make_shared<QList<double>>(std::move(values));
    return [left] { return left->takeFirst(); };
}

} // namespace

class TestPlaylistOperations : public QObject {
    Q_OBJECT
private slots:
    void deleteKeepsCurrentSong();
    void deleteCurrentRow();
    void deleteFocusAndManyBlocks();
    void moveUp();
    void moveDown();
    void moveCarriesCurrentSong();
    void shuffleFollowsDraws();
    void shuffleSmallLists();
    void shuffleClockSource();
    void sortByText();
    void sortCarriesFlags();
    void sortWithoutCurrentRow();
    void modelStaysConsistent();
    void cellsComeBackExactly();
    void operationsKeepTheModelAndAnnounceOnce_data();
    void operationsKeepTheModelAndAnnounceOnce();
};

void TestPlaylistOperations::deleteKeepsCurrentSong() {
    PlaylistModel model;
    fill(model, "abcde");
    makeCurrent(model, 5);
    select(model, {2, 4});
    Ops::deleteSelected(model);
    QCOMPARE(titles(model), QStringLiteral("ace"));
    QCOMPARE(model.PlayListTrNum(), 3);
    QCOMPARE(highlighted(model), QStringLiteral("e"));
    // Nothing selected: nothing happens.
    Ops::deleteSelected(model);
    QCOMPARE(titles(model), QStringLiteral("ace"));
}

void TestPlaylistOperations::deleteCurrentRow() {
    PlaylistModel model;
    fill(model, "abcde");
    makeCurrent(model, 3);
    select(model, {3});
    Ops::deleteSelected(model);
    QCOMPARE(titles(model), QStringLiteral("abde"));
    QCOMPARE(model.PlayListTrNum(), 3);
    QCOMPARE(highlighted(model), QString());
    // Removing the last rows leaves the number past the end.
    select(model, {3, 4});
    Ops::deleteSelected(model);
    QCOMPARE(titles(model), QStringLiteral("ab"));
    QCOMPARE(model.PlayListTrNum(), 3);
}

void TestPlaylistOperations::deleteFocusAndManyBlocks() {
    PlaylistModel model;
    fill(model, "abcde");
    model.setFocusedRow(2);
    select(model, {2, 3});
    Ops::deleteSelected(model);
    // The focus passes to the row that took the focused row's place, which is selected.
    QCOMPARE(titles(model), QStringLiteral("ade"));
    QCOMPARE(model.focusedRow(), 2);
    QCOMPARE(selection(model), QStringLiteral(".1."));
    // Focus on the last row, removed: the new last row takes it.
    model.setSelected(2, false);
    model.setFocusedRow(3);
    select(model, {3});
    Ops::deleteSelected(model);
    QCOMPARE(model.focusedRow(), 2);
    QCOMPARE(selection(model), QStringLiteral(".1"));
    // Everything removed: no focus.
    select(model, {1, 2});
    Ops::deleteSelected(model);
    QCOMPARE(model.count(), 0);
    QCOMPARE(model.focusedRow(), 0);

    // Every other row of 200 (many separate blocks), the current song in the middle.
    PlaylistModel big;
    for (int i = 1; i <= 200; ++i)
        big.appendRow({QString::number(i), {}, {}, QStringLiteral("/%1").arg(i)});
    makeCurrent(big, 101);
    for (int i = 2; i <= 200; i += 2)
        big.setSelected(i, true);
    Ops::deleteSelected(big);
    QCOMPARE(big.count(), 100);
    QCOMPARE(big.PlayListTrNum(), 51);
    QCOMPARE(big.row(51).title, QStringLiteral("101"));
    QVERIFY(big.isHighlighted(51));
    QCOMPARE(big.row(100).title, QStringLiteral("199"));
}

void TestPlaylistOperations::moveUp() {
    PlaylistModel model;
    fill(model, "abcde");
    select(model, {2, 3});
    Ops::moveUp(model);
    QCOMPARE(titles(model), QStringLiteral("bcade"));
    QCOMPARE(selection(model), QStringLiteral("11..."));
    // A block at the top stays.
    Ops::moveUp(model);
    QCOMPARE(titles(model), QStringLiteral("bcade"));
    QCOMPARE(selection(model), QStringLiteral("11..."));
    // Blocks apart move independently; the top one stays.
    model.setSelected(2, false);
    select(model, {4, 5});
    Ops::moveUp(model);
    QCOMPARE(titles(model), QStringLiteral("bcdea"));
    QCOMPARE(selection(model), QStringLiteral("1.11."));
    PlaylistModel empty;
    Ops::moveUp(empty);
    QCOMPARE(empty.count(), 0);
}

void TestPlaylistOperations::moveDown() {
    PlaylistModel model;
    fill(model, "abcde");
    select(model, {2, 4});
    Ops::moveDown(model);
    QCOMPARE(titles(model), QStringLiteral("acbed"));
    QCOMPARE(selection(model), QStringLiteral("..1.1"));
    // The last row selected: nothing moves.
    Ops::moveDown(model);
    QCOMPARE(titles(model), QStringLiteral("acebd"));
    QCOMPARE(selection(model), QStringLiteral("...11"));
    Ops::moveDown(model);
    QCOMPARE(titles(model), QStringLiteral("acebd"));
}

void TestPlaylistOperations::moveCarriesCurrentSong() {
    PlaylistModel model;
    fill(model, "abcde");
    makeCurrent(model, 3);
    select(model, {3});
    Ops::moveUp(model);
    QCOMPARE(titles(model), QStringLiteral("acbde"));
    QCOMPARE(model.PlayListTrNum(), 2);
    QCOMPARE(highlighted(model), QStringLiteral("c"));
    // The current song as the unselected neighbour that trades places.
    model.setSelected(2, false);
    select(model, {3, 4});
    Ops::moveUp(model);
    QCOMPARE(titles(model), QStringLiteral("abdce"));
    QCOMPARE(model.PlayListTrNum(), 4);
    QCOMPARE(highlighted(model), QStringLiteral("c"));
    Ops::moveDown(model);
    QCOMPARE(titles(model), QStringLiteral("acbde"));
    QCOMPARE(model.PlayListTrNum(), 2);
    QCOMPARE(highlighted(model), QStringLiteral("c"));
}

void TestPlaylistOperations::shuffleFollowsDraws() {
    // n = 3, draws 0.9, 0.0, 0.5: swaps (1,3), (2,1), (3,2).
    PlaylistModel model;
    fill(model, "abc");
    makeCurrent(model, 1);
    select(model, {2, 3});
    Ops::shuffle(model, draws({0.9, 0.0, 0.5}));
    QCOMPARE(titles(model), QStringLiteral("bac"));
    QCOMPARE(model.PlayListTrNum(), 2);
    QCOMPARE(highlighted(model), QStringLiteral("a"));
    QCOMPARE(selection(model), QStringLiteral("1.."));
    // Draws at the very edge of [0, 1) stay inside the list.
    Ops::shuffle(model, draws({0.9999999999, 0.9999999999, 0.0}));
    QCOMPARE(model.count(), 3);
    QCOMPARE(highlighted(model), QStringLiteral("a"));
    QCOMPARE(model.row(model.PlayListTrNum()).title, QStringLiteral("a"));
}

void TestPlaylistOperations::shuffleSmallLists() {
    PlaylistModel model;
    Ops::shuffle(model, draws({}));
    fill(model, "a");
    makeCurrent(model, 1);
    Ops::shuffle(model, draws({}));
    QCOMPARE(titles(model), QStringLiteral("a"));
    QCOMPARE(selection(model), QStringLiteral("."));
    QCOMPARE(highlighted(model), QStringLiteral("a"));
}

void TestPlaylistOperations::shuffleClockSource() {
    PlaylistModel model;
    const QString letters = "abcdefghijklmnopqrstuvwxyz";
    fill(model, letters);
    makeCurrent(model, 5);
    const auto uniform = Ops::clockSeededUniform();
    for (int i = 0; i < 1000; ++i) {
        const double u = uniform();
        QVERIFY(u >= 0.0 && u < 1.0);
    }
    Ops::shuffle(model, uniform);
    QString sorted = titles(model);
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, letters);
    QCOMPARE(model.row(model.PlayListTrNum()).title, QStringLiteral("e"));
    QCOMPARE(highlighted(model), QStringLiteral("e"));
}

void TestPlaylistOperations::sortByText() {
    PlaylistModel model;
    model.appendRow({"b", "x", "10:00", "/1"});
    model.appendRow({"B", "y", "09:59", "/2"});
    model.appendRow({"a", "z", "100:00", "/3"});
    model.appendRow({"c", "", "99:00", "/4"});
    // Lengths sort as text: "100:00" before "10:00" and before "99:00".
    Ops::sortByColumn(model, 2);
    QCOMPARE(model.paths(), QStringList({"/2", "/3", "/1", "/4"}));
    // Letters compare ignoring case; equal texts keep their order, also on a repeat.
    Ops::sortByColumn(model, 0);
    QCOMPARE(titles(model), QStringLiteral("aBbc"));
    Ops::sortByColumn(model, 0);
    QCOMPARE(titles(model), QStringLiteral("aBbc"));
    Ops::sortByColumn(model, 1);
    QCOMPARE(titles(model), QStringLiteral("cbBa"));
    Ops::sortByColumn(model, 3);
    QCOMPARE(model.paths(), QStringList({"/1", "/2", "/3", "/4"}));
    Ops::sortByColumn(model, 4); // no such column
    QCOMPARE(model.paths(), QStringList({"/1", "/2", "/3", "/4"}));
}

void TestPlaylistOperations::sortCarriesFlags() {
    PlaylistModel model;
    fill(model, "dcba");
    makeCurrent(model, 2);
    select(model, {1});
    model.setFocusedRow(4);
    const QPersistentModelIndex held = model.index(0, 3);
    Ops::sortByColumn(model, 0);
    QCOMPARE(titles(model), QStringLiteral("abcd"));
    QCOMPARE(model.PlayListTrNum(), 3);
    QCOMPARE(highlighted(model), QStringLiteral("c"));
    QCOMPARE(selection(model), QStringLiteral("...1"));
    QCOMPARE(model.focusedRow(), 1);
    QCOMPARE(held.row(), 3);
    QCOMPARE(held.data().toString(), QStringLiteral("/d.mp3"));
}

void TestPlaylistOperations::sortWithoutCurrentRow() {
    PlaylistModel model;
    fill(model, "ba");
    model.setPlayListTrNum(2);
    Ops::sortByColumn(model, 0);
    QCOMPARE(model.PlayListTrNum(), 1);
    QCOMPARE(highlighted(model), QString());
    PlaylistModel empty;
    empty.setPlayListTrNum(0);
    Ops::sortByColumn(empty, 0);
    QCOMPARE(empty.PlayListTrNum(), 0);
}

void TestPlaylistOperations::modelStaysConsistent() {
    // Qt's model checker watches every change signal through a run of operations.
    PlaylistModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 0; i < 100; ++i)
        model.appendRow({QString::number(i % 7), {}, {}, QString::number(i)});
    makeCurrent(model, 50);
    const auto uniform = Ops::clockSeededUniform();
    for (int round = 0; round < 20; ++round) {
        for (int i = 1; i <= model.count(); ++i)
            model.setSelected(i, uniform() < 0.3);
        switch (round % 5) {
        case 0:
            Ops::moveUp(model);
            break;
        case 1:
            Ops::moveDown(model);
            break;
        case 2:
            Ops::shuffle(model, uniform);
            break;
        case 3:
            Ops::sortByColumn(model, round % 4);
            break;
        default:
            Ops::deleteSelected(model);
        }
    }
    QVERIFY(model.count() > 0);
}

void TestPlaylistOperations::cellsComeBackExactly() {
    // The model keeps rows compactly (shared folders, a title left out when it is the
    // file name's, lengths as numbers); every cell must still come back as given, in
    // row(), in data() and after rows trade places and are sorted.
    const QList<PlaylistRow> rows = {
        {"a", "", "00:00", "/m/x/a.mp3"},              // title from the name
        {"a.mp3", "", "04:05", "/m/x/a.mp3"},          // title that is the whole name
        {"曲", "歌手", "100:00", "/m/x/b.mp3"},        // tag texts, 100 minutes
        {"", "", "99:59", "/m/x/"},                    // no file name at all
        {"noext", "art", "5:00", "noext"},             // no folder; a length kept as text
        {"t", "", "005:00", "/m/t.mp3"},               // a leading zero no number gives
        {"t", "", "00:60", "/m/t.mp3"},                // seconds past 59
        {"t", "", "", "/m/t.mp3"},                     // no length at all
        {"t", "", "１２:００", "/m/t.mp3"},            // digits that are not ASCII
        {"t", "", "17895697:04", "/m/t.mp3"},          // beyond what a number keeps
        {"t", "", "17895:03", "C:\\w\\t.mp3"},         // another syntax's path
        {" sp ", " a ", "01:00", "/m/x/ sp .mp3.mp3"}, // spaces, two extensions
    };
    PlaylistModel model;
    model.appendRows(QVector<PlaylistRow>(rows.begin(), rows.end()));
    const auto expectRows = [&](const QList<int>& order) {
        for (int i = 0; i < order.size(); ++i) {
            const PlaylistRow& want = rows[order[i]];
            const PlaylistRow got = model.row(i + 1);
            QCOMPARE(got.title, want.title);
            QCOMPARE(got.artist, want.artist);
            QCOMPARE(got.length, want.length);
            QCOMPARE(got.path, want.path);
            QCOMPARE(model.path(i + 1), want.path);
            const QStringList cells{want.title, want.artist, want.length, want.path};
            for (int column = 0; column < 4; ++column)
                QCOMPARE(model.data(model.index(i, column)).toString(), cells[column]);
        }
    };
    expectRows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    QCOMPARE(model.findFirstRowWithPath("/m/x/b.mp3"), 3);
    QCOMPARE(model.findFirstRowWithPath("/m/x/b.mp"), 0);
    QCOMPARE(model.findFirstRowWithPath("noext"), 5);

    select(model, {1, 3});
    Ops::moveDown(model);
    expectRows({1, 0, 3, 2, 4, 5, 6, 7, 8, 9, 10, 11});
    Ops::sortByColumn(model, 2);
    expectRows({7, 5, 0, 6, 11, 1, 2, 9, 10, 4, 3, 8});
}

void TestPlaylistOperations::operationsKeepTheModelAndAnnounceOnce_data() {
    QTest::addColumn<QString>("letters");
    QTest::addColumn<int>("current");      // PlayListTrNum before, highlighted when a row
    QTest::addColumn<QString>("selected"); // "1" selected, "." not
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("held"); // the row a persistent index is held on
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("titles");
    QTest::addColumn<int>("trNum");
    QTest::addColumn<QString>("bold");
    QTest::addColumn<QString>("selectedAfter");
    QTest::addColumn<int>("focusAfter");
    QTest::addColumn<int>("heldAfter"); // 0: its row went
    QTest::addColumn<QString>("heard"); // the model's and the selection's signals, in order

    QTest::newRow("delete rows around the focus and the current song")
        << "abcdefg" << 5 << ".1.1.1." << 4 << 5 << "delete"
        << "aceg" << 3 << "e"
        << "..1." << 3 << 3
        << "selection, removed 6-6, focus 3, removed 4-4, removed 2-2, focus 3, selection, trNum "
           "3, rows";
    QTest::newRow("delete the current song and the focused row")
        << "abcdefg" << 3 << "..11..." << 4 << 7 << "delete"
        << "abefg" << 3 << ""
        << "..1.." << 3 << 5 << "selection, focus 2, removed 3-4, focus 3, selection, rows";
    QTest::newRow("delete the last rows, the focus on one of them")
        << "abcde" << 2 << "...11" << 5 << 4 << "delete"
        << "abc" << 2 << "b"
        << "..1" << 3 << 0 << "selection, focus 3, removed 4-5, selection, rows";
    QTest::newRow("delete every row") << "abc" << 1 << "111" << 2 << 1 << "delete"
                                      << "" << 1 << ""
                                      << "" << 0 << 0 << "selection, focus 0, removed 1-3, rows";
    QTest::newRow("delete nothing") << "abc" << 2 << "..." << 3 << 1 << "delete"
                                    << "abc" << 2 << "b"
                                    << "..." << 3 << 1 << "";
    // 70 rows '0', '1', … with every second one selected: 35 blocks to remove.
    QString many, kept;
    for (int i = 0; i < 70; ++i)
        many += QChar(u'0' + i);
    for (int i = 0; i < 70; i += 2)
        kept += QChar(u'0' + i);
    QTest::newRow("delete many separate blocks")
        << many << 63 << QStringLiteral(".1").repeated(35) << 3 << 63 << "delete" << kept << 32
        << "n"
        << ".1" + QString(33, u'.') << 2 << 0
        << "selection, reset, focus 2, selection, trNum 32, rows";
    QTest::newRow("move scattered rows up past the current song")
        << "abcdefg" << 3 << ".1.11.1" << 6 << 4 << "up"
        << "badecgf" << 5 << "c"
        << "1.11.1." << 6 << 4 << "mark 5-5, cells 1-7, selection, selection, trNum 5, rows";
    QTest::newRow("move a block at the top up") << "abcd" << 0 << "11.." << 1 << 2 << "up"
                                                << "abcd" << 1 << "a"
                                                << "11.." << 1 << 2 << "mark 1-1";
    QTest::newRow("move the current song down in a block")
        << "abcdef" << 2 << "11..11" << 2 << 3 << "down"
        << "cabdef" << 3 << "b"
        << ".11.11" << 2 << 3 << "mark 3-3, cells 1-3, selection, selection, trNum 3, rows";
    QTest::newRow("move rows down with PlayListTrNum past the end")
        << "abcd" << 9 << ".1.." << 2 << 2 << "down"
        << "acbd" << 4 << "d"
        << "..1." << 2 << 2 << "mark 4-4, cells 2-3, selection, selection, rows";
    QTest::newRow("shuffle every row to a new place")
        << "abcd" << 3 << ".1.1" << 4 << 3 << "shuffle 0.3 0.6 0.8 0.9"
        << "bcda" << 2 << "c"
        << "1..." << 4 << 3 << "mark 3-3, mark 2-2, cells 1-4, selection, selection, trNum 2, rows";
    QTest::newRow("shuffle with row 1 alone selected already")
        << "abcd" << 1 << "1..." << 1 << 1 << "shuffle 0.3 0.6 0.8 0.9"
        << "bcda" << 4 << "a"
        << "1..." << 1 << 1 << "mark 1-1, mark 4-4, cells 1-4, selection, selection, trNum 4, rows";
    // Swaps that cancel out leave the rows as they were: no rows or cells changed.
    QTest::newRow("shuffle whose swaps cancel out")
        << "ab" << 1 << ".1" << 2 << 2 << "shuffle 0.9 0.0"
        << "ab" << 1 << "a"
        << "1." << 2 << 2 << "mark 1-1, mark 1-1, selection, selection";
    QTest::newRow("sort carries selection, focus, highlight and held index")
        << "dbca" << 1 << "1.1." << 4 << 2 << "sort 0"
        << "abcd" << 4 << "d"
        << "..11" << 1 << 2 << "selection, layout, selection, trNum 4, rows";
    QTest::newRow("sort rows already in order")
        << "abc" << 2 << ".1." << 3 << 1 << "sort 0"
        << "abc" << 2 << "b"
        << ".1." << 3 << 1 << "selection, layout, selection";
}

void TestPlaylistOperations::operationsKeepTheModelAndAnnounceOnce() {
    QFETCH(QString, letters);
    QFETCH(int, current);
    QFETCH(QString, selected);
    QFETCH(int, focus);
    QFETCH(int, held);
    QFETCH(QString, operation);

    PlaylistModel model;
    fill(model, letters);
    makeCurrent(model, current);
    for (int i = 0; i < selected.size(); ++i)
        model.setSelected(i + 1, selected[i] == u'1');
    model.setFocusedRow(focus);
    const QPersistentModelIndex heldIndex = model.index(held - 1, 2);

    QStringList heard;
    const auto rows = [](int first, int last) { return u"%1-%2"_s.arg(first + 1).arg(last + 1); };
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex& a, const QModelIndex& b) {
                heard << (b.column() == 1 ? u"mark "_s : u"cells "_s) + rows(a.row(), b.row());
            });
    connect(&model, &QAbstractItemModel::layoutChanged, this, [&] { heard << u"layout"_s; });
    connect(&model, &QAbstractItemModel::rowsRemoved, this,
            [&](const QModelIndex&, int first, int last) {
                heard << u"removed "_s + rows(first, last);
            });
    connect(&model, &QAbstractItemModel::modelReset, this, [&] { heard << u"reset"_s; });
    connect(model.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [&] { heard << u"selection"_s; });
    connect(model.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [&](const QModelIndex& now) { heard << u"focus %1"_s.arg(now.row() + 1); });
    connect(&model, &PlaylistModel::playListTrNumChanged, this,
            [&](int n) { heard << u"trNum %1"_s.arg(n); });
    connect(&model, &PlaylistModel::rowsChanged, this, [&] { heard << u"rows"_s; });

    const QStringList words = operation.split(u' ');
    if (words[0] == u"delete")
        Ops::deleteSelected(model);
    else if (words[0] == u"up")
        Ops::moveUp(model);
    else if (words[0] == u"down")
        Ops::moveDown(model);
    else if (words[0] == u"sort")
        Ops::sortByColumn(model, words[1].toInt());
    else {
        QList<double> values;
        for (const QString& u : words.mid(1))
            values << u.toDouble();
        Ops::shuffle(model, draws(values));
    }

    QTEST(titles(model), "titles");
    QTEST(model.PlayListTrNum(), "trNum");
    QTEST(highlighted(model), "bold");
    QTEST(selection(model), "selectedAfter");
    QTEST(model.focusedRow(), "focusAfter");
    QTEST(heldIndex.isValid() ? heldIndex.row() + 1 : 0, "heldAfter");
    QTEST(heard.join(u", "), "heard");
}

QTEST_MAIN(TestPlaylistOperations)
#include "tst_playlist_operations.moc"
