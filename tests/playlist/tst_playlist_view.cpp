// The playlist model under a real table view sharing its selection model: what the
// user selects in the view is what the row operations act on, and the selection, focus
// and highlight the operations leave are what the view shows.
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistOperations.h"

#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using namespace pelto;

namespace {

using Ops = PlaylistOperations;

// A table view set up as the playlist window sets up its list: whole rows, several
// at once, sharing the model's selection.
struct ViewedList {
    PlaylistModel model;
    QTableView view;

    explicit ViewedList(const QString& letters) {
        for (QChar c : letters)
            model.appendRow(
                {QString(c), {}, QStringLiteral("00:00"), QStringLiteral("/%1").arg(c)});
        view.setModel(&model);
        view.setSelectionModel(model.selectionModel());
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.resize(400, 600);
        view.show();
    }

    // What the user does, token by token: "3" clicks row 3, "^3" ctrl-clicks it, "+3"
    // shift-clicks it, "all" presses Ctrl+A, "even" selects every even row through the
    // view's selection model and puts the focus on row 2.
    void act(const QString& tokens) {
        for (const QString& token : tokens.split(u' ', Qt::SkipEmptyParts)) {
            if (token == u"all") {
                QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
            } else if (token == u"even") {
                QItemSelectionModel* selection = view.selectionModel();
                for (int row = 1; row < model.count(); row += 2)
                    selection->select(model.index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
                selection->setCurrentIndex(model.index(1, 0), QItemSelectionModel::NoUpdate);
            } else {
                const Qt::KeyboardModifiers modifiers = token[0] == u'^'   ? Qt::ControlModifier
                                                        : token[0] == u'+' ? Qt::ShiftModifier
                                                                           : Qt::NoModifier;
                const int row = (modifiers == Qt::NoModifier ? token : token.mid(1)).toInt();
                const QRect cell = view.visualRect(model.index(row - 1, 0));
                QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, cell.center());
            }
        }
    }

    QString titles() const {
        QString s;
        for (int i = 1; i <= model.count(); ++i)
            s += model.row(i).title;
        return s;
    }

    // As the view sees them: "1" for its selected rows, "." for others; the titles of
    // the rows it draws bold; its current row (1-based, 0 for none).
    QString viewSelection() const {
        QString s(model.count(), u'.');
        for (const QModelIndex& index : view.selectionModel()->selectedRows())
            s[index.row()] = u'1';
        return s;
    }
    QString viewBold() const {
        QString s;
        for (int row = 0; row < view.model()->rowCount(); ++row) {
            const QModelIndex index = view.model()->index(row, 0);
            if (index.data(Qt::FontRole).value<QFont>().bold())
                s += index.data().toString();
        }
        return s;
    }
    int viewCurrentRow() const {
        const QModelIndex current = view.currentIndex();
        return current.isValid() ? current.row() + 1 : 0;
    }
};

// The titles '0', '1', … of n rows, taking every step-th.
QString digits(int n, int step = 1) {
    QString s;
    for (int i = 0; i < n; i += step)
        s += QChar(u'0' + i);
    return s;
}

} // namespace

class TestPlaylistView : public QObject {
    Q_OBJECT
private slots:
    void viewSelectionDrivesOperations_data();
    void viewSelectionDrivesOperations();
    void modelSelectionShowsInView();
};

void TestPlaylistView::viewSelectionDrivesOperations_data() {
    QTest::addColumn<QString>("letters");
    QTest::addColumn<int>("current");    // PlayListTrNum before, highlighted when in the list
    QTest::addColumn<QString>("clicks"); // see ViewedList::act
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("titles");
    QTest::addColumn<QString>("selected"); // as the view reports it
    QTest::addColumn<int>("focus");        // the view's current row
    QTest::addColumn<int>("trNum");
    QTest::addColumn<QString>("bold");
    QTest::addColumn<int>("rowsChanged");

    QTest::newRow("delete two clicked rows") << "abcde" << 5 << "2 ^4"
                                             << "delete"
                                             << "ace"
                                             << "..1" << 3 << 3 << "e" << 1;
    // Qt alone would move the focus to the row above the removed one.
    QTest::newRow("delete the focused row") << "abcde" << 1 << "3"
                                            << "delete"
                                            << "abde"
                                            << "..1." << 3 << 1 << "a" << 1;
    QTest::newRow("delete a block at the end") << "abcde" << 2 << "4 +5"
                                               << "delete"
                                               << "abc"
                                               << "..1" << 3 << 2 << "b" << 1;
    QTest::newRow("delete the current song") << "abcde" << 3 << "3"
                                             << "delete"
                                             << "abde"
                                             << "..1." << 3 << 3 << "" << 1;
    QTest::newRow("delete all") << "abcde" << 3 << "all"
                                << "delete"
                                << ""
                                << "" << 0 << 1 << "" << 1;
    QTest::newRow("delete many separate blocks")
        << digits(70) << 0 << "even"
        << "delete" << digits(70, 2) << QStringLiteral(".1") + QString(33, u'.') << 2 << 0 << ""
        << 1;
    QTest::newRow("move a block up") << "abcde" << 1 << "2 +3"
                                     << "up"
                                     << "bcade"
                                     << "11..." << 3 << 3 << "a" << 1;
    QTest::newRow("a block at the top stays") << "abcde" << 5 << "1 +2"
                                              << "up"
                                              << "abcde"
                                              << "11..." << 2 << 5 << "e" << 0;
    // With no current row the highlight settles on row 1.
    QTest::newRow("move two rows down") << "abcde" << 0 << "2 ^4"
                                        << "down"
                                        << "acbed"
                                        << "..1.1" << 4 << 1 << "a" << 1;
    QTest::newRow("shuffle") << "abc" << 1 << "2 ^3"
                             << "shuffle"
                             << "bac"
                             << "1.." << 3 << 2 << "a" << 1;
    QTest::newRow("sort") << "dcba" << 2 << "1 ^2"
                          << "sort"
                          << "abcd"
                          << "..11" << 3 << 3 << "c" << 1;
    QTest::newRow("select all, move up") << "abc" << 2 << "1 all"
                                         << "up"
                                         << "abc"
                                         << "111" << 1 << 2 << "b" << 0;
}

void TestPlaylistView::viewSelectionDrivesOperations() {
    QFETCH(QString, letters);
    QFETCH(int, current);
    QFETCH(QString, clicks);
    QFETCH(QString, operation);

    ViewedList list(letters);
    QVERIFY(QTest::qWaitForWindowExposed(&list.view));
    list.model.setPlayListTrNum(current);
    if (current >= 1)
        list.model.SetPlayListColor();
    list.act(clicks);
    QSignalSpy rows(&list.model, &PlaylistModel::rowsChanged);
    QSignalSpy trNum(&list.model, &PlaylistModel::playListTrNumChanged);

    if (operation == u"delete")
        Ops::deleteSelected(list.model);
    else if (operation == u"up")
        Ops::moveUp(list.model);
    else if (operation == u"down")
        Ops::moveDown(list.model);
    else if (operation == u"shuffle") {
        // n = 3, draws 0.9, 0.0, 0.5: swaps (1,3), (2,1), (3,2).
        auto draws = std::make_shared<QList<double>>(QList<double>{0.9, 0.0, 0.5});
        Ops::shuffle(list.model, [draws] { return draws->takeFirst(); });
    } else
        Ops::sortByColumn(list.model, 0);

    QTEST(list.titles(), "titles");
    QTEST(list.viewSelection(), "selected");
    QTEST(list.viewCurrentRow(), "focus");
    QTEST(list.model.PlayListTrNum(), "trNum");
    QTEST(list.viewBold(), "bold");
    QTEST(int(rows.count()), "rowsChanged");
    // playListTrNumChanged comes once with the new value, and only for a new value.
    const bool newTrNum = list.model.PlayListTrNum() != current;
    QCOMPARE(trNum.count(), newTrNum ? 1 : 0);
    if (newTrNum)
        QCOMPARE(trNum[0][0].toInt(), list.model.PlayListTrNum());
}

void TestPlaylistView::modelSelectionShowsInView() {
    ViewedList list("abcde");
    QVERIFY(QTest::qWaitForWindowExposed(&list.view));
    QSignalSpy viewSelection(list.view.selectionModel(), &QItemSelectionModel::selectionChanged);
    list.model.setSelected(2, true);
    list.model.setSelected(4, true);
    list.model.setFocusedRow(4);
    QCOMPARE(list.viewSelection(), QStringLiteral(".1.1."));
    QCOMPARE(list.viewCurrentRow(), 4);
    QCOMPARE(viewSelection.count(), 2);
    list.model.setSelectionFlags({true, true, false, false, true});
    QCOMPARE(list.viewSelection(), QStringLiteral("11..1"));
    list.model.selectOnly(3);
    QCOMPARE(list.viewSelection(), QStringLiteral("..1.."));
    // What the view selected, the model reads back.
    list.act("^5");
    QVERIFY(list.model.isSelected(3) && list.model.isSelected(5) && !list.model.isSelected(4));
    QCOMPARE(list.model.focusedRow(), 5);
    QCOMPARE(list.model.selectionFlags(), (std::vector<bool>{false, false, true, false, true}));
    // Clearing the list clears the selection and the focus, and says the rows changed.
    QSignalSpy rows(&list.model, &PlaylistModel::rowsChanged);
    list.model.clear();
    QCOMPARE(list.model.focusedRow(), 0);
    QVERIFY(!list.view.selectionModel()->hasSelection());
    QCOMPARE(rows.count(), 1);
}

QTEST_MAIN(TestPlaylistView)
#include "tst_playlist_view.moc"
