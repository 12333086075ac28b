// Finding rows by their texts: the match form (widths, kana, case), queries of several
// words over the title, the artist and the path, and the match keys following every
// change of the rows.
#include "playlist/MatchText.h"
#include "playlist/PlaylistMatchKeys.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistOperations.h"
#include "playlist/RowFinder.h"

#include <QtTest>

#include <random>

using namespace pelto;

namespace {

using Ops = PlaylistOperations;

const QVector<PlaylistRow> kRows = {
    {"アーティストの歌", "ＡＢＣ Band", "03:00", "/music/j-pop/01.mp3"},
    {"さくら", "ゆず", "04:10", "/music/Folk/sakura.mp3"},
    {"サクラ咲ケ", "嵐", "04:20", "/music/アイドル/02.mp3"},
    {"Abc of Love", "Trio", "02:30", "/other/abc.mp3"},
    {"ｶﾞｲﾀﾞﾝｽ", "ﾃｽﾄ", "05:00", "/music/Guide/03.mp3"},
    {"ヴァイオリン", "ぱぱ", "01:00", "/music/strings/ゔぁいおりん.wav"},
    {"Straße", "ＤＪ　Ｋｅｉ", "06:00", "/music/Berlin/strasse.mp3"},
};

// The 1-based rows of kRows the query finds, as "1 3 …".
QString found(const RowFinder& finder) {
    QStringList rows;
    for (int r : finder.rows())
        rows << QString::number(r + 1);
    return rows.join(u' ');
}

// Every row's key is what its texts make now, and a query finds what a look at every
// row finds.
void verifyInStep(const PlaylistModel& model, const RowFinder& finder, const QString& query) {
    const PlaylistMatchKeys& keys = finder.keys();
    QCOMPARE(keys.count(), model.count());
    for (int n = 1; n <= model.count(); ++n) {
        const PlaylistRow row = model.row(n);
        const std::string expected =
            matchForm(row.title) + '\n' + matchForm(row.artist) + '\n' + matchForm(row.path);
        QVERIFY2(keys.key(n - 1) == expected, qPrintable(QStringLiteral("row %1").arg(n)));
    }
    const MatchQuery q(query);
    std::vector<int> expected;
    for (int r = 0; r < model.count(); ++r)
        if (q.matches(keys.key(r)))
            expected.push_back(r);
    QCOMPARE(finder.rows(), expected);
}

} // namespace

class TestFindRows : public QObject {
    Q_OBJECT
private slots:
    void matchForm_data();
    void matchForm();
    void plainLettersTakeTheQuickWay();
    void queries_data();
    void queries();
    void keysFollowTheRows();
};

void TestFindRows::matchForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("form");
    const char* const cases[][3] = {
        {"half-width katakana", "ｱｰﾃｨｽﾄ", "アーティスト"},
        {"half-width voiced marks", "ｶﾞｲﾀﾞﾝｽ ﾊﾟ", "ガイダンス パ"},
        {"hiragana", "さくら ぁゖゝゞ", "サクラ ァヶヽヾ"},
        {"hiragana vu", "ゔ", "ヴ"},
        {"katakana stays", "サクラ", "サクラ"},
        {"full-width letters", "ＡＢＣ１２３", "abc123"},
        {"ideographic space", "Ａ　Ｂ", "a b"},
        {"ascii case", "Hello/World.MP3", "hello/world.mp3"},
        {"other scripts fold", "ÄÖÜ ΣΑΣ", "äöü σασ"},
        {"compatibility forms", "㈱ ① ﬁ", "(株) 1 fi"},
        {"kanji stays", "漢字", "漢字"},
    };
    for (const auto& c : cases)
        QTest::newRow(c[0]) << QString::fromUtf8(c[1]) << QString::fromUtf8(c[2]);
}

void TestFindRows::matchForm() {
    QFETCH(QString, text);
    QFETCH(QString, form);
    QCOMPARE(QString::fromStdString(pelto::matchForm(text)), form);
}

// Texts of letters that need no normalization are put in match form without it; the
// same text behind a half-width letter, which does need it, gives the same form.
void TestFindRows::plainLettersTakeTheQuickWay() {
    const std::pair<char16_t, char16_t> ranges[] = {
        {0x00, 0x7F},     {0x3000, 0x3002}, {0x3041, 0x3096}, {0x309D, 0x309E},
        {0x30A1, 0x30FA}, {0x30FC, 0x30FE}, {0x4E00, 0x9FFF}};
    QStringList differing;
    for (const auto& [first, last] : ranges) {
        for (char16_t u = first; u <= last; ++u) {
            const QString letter(QChar{u});
            const std::string quick = pelto::matchForm(letter);
            const std::string normalized = pelto::matchForm(QStringLiteral("ｱ") + letter);
            if (normalized != "ア" + quick)
                differing << QStringLiteral("U+%1").arg(int(u), 4, 16, QChar(u'0'));
        }
    }
    QVERIFY2(differing.isEmpty(), qPrintable(differing.join(u' ')));
}

void TestFindRows::queries_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("rows");
    const char* const cases[][3] = {
        {"empty", "", "1 2 3 4 5 6 7"},
        {"only spaces", " 　 ", "1 2 3 4 5 6 7"},
        {"half-width finds full-width", "ｱｰﾃｨｽﾄ", "1"},
        {"full-width finds ascii, any case", "ＡＢＣ", "1 4"},
        {"hiragana finds katakana", "さくら", "2 3"},
        {"katakana finds hiragana", "サクラ", "2 3"},
        {"full-width finds half-width", "ガイダンス", "5"},
        {"artist", "ゆず", "2"},
        {"half-width artist", "てすと", "5"},
        {"path folder", "j-pop", "1"},
        {"path in kana", "あいどる", "3"},
        {"path across the folder", "folk/sak", "2"},
        {"two words, any order", "love abc", "4"},
        {"words in different texts", "さくら folk", "2"},
        {"every word must occur", "さくら zzz", ""},
        {"words split by a wide space", "dj　kei", "7"},
        {"a word never spans two texts", "咲ケ嵐", ""},
        {"hiragana vu in a path", "ヴァイオリン.wav", "6"},
        {"upper case word", "STRASSE", "7"},
        {"nothing", "xyz", ""},
    };
    for (const auto& c : cases)
        QTest::newRow(c[0]) << QString::fromUtf8(c[1]) << QString::fromUtf8(c[2]);
}

void TestFindRows::queries() {
    QFETCH(QString, query);
    QFETCH(QString, rows);
    PlaylistModel model;
    model.appendRows(kRows);
    RowFinder finder(model);
    finder.setQuery(query);
    QCOMPARE(found(finder), rows);
    // The same rows when typed one letter at a time (each search among the last one's
    // rows), and when found afresh.
    RowFinder typed(model);
    for (qsizetype i = 1; i <= query.size(); ++i)
        typed.setQuery(QStringView(query).first(i));
    QCOMPARE(found(typed), rows);
}

void TestFindRows::keysFollowTheRows() {
    PlaylistModel model;
    RowFinder finder(model);
    const QString query = QStringLiteral("さくら");
    finder.setQuery(query);
    QSignalSpy foundAgain(&finder, &RowFinder::rowsFound);
    std::mt19937 random(11);
    QVector<PlaylistRow> rows;
    for (int i = 0; i < 300; ++i) {
        const PlaylistRow& base = kRows[i % kRows.size()];
        rows.push_back({base.title + QString::number(i % 7), base.artist, base.length,
                        base.path + QString::number(i)});
    }
    const auto step = [&](const char* what, const std::function<void()>& change) {
        const qsizetype before = foundAgain.size();
        change();
        QVERIFY2(foundAgain.size() == before + 1, what);
        verifyInStep(model, finder, query);
        if (QTest::currentTestFailed())
            qWarning("after: %s", what);
    };
    step("append", [&] { model.appendRows(rows); });
    step("append more", [&] { model.appendRows(rows.mid(0, 50)); });
    step("sort by title", [&] { Ops::sortByColumn(model, 0); });
    step("shuffle", [&] {
        Ops::shuffle(model, [&] { return std::uniform_real_distribution<double>()(random); });
    });
    step("move up", [&] {
        model.setSelectionFlags(std::vector<bool>(size_t(model.count()), false));
        for (int n = 5; n <= model.count(); n += 9)
            model.setSelected(n, true);
        Ops::moveUp(model);
    });
    step("delete a few blocks", [&] {
        model.setSelectionFlags(std::vector<bool>(size_t(model.count()), false));
        for (int n : {1, 2, 40, 200})
            model.setSelected(n, true);
        Ops::deleteSelected(model);
    });
    // More separate blocks than the model removes one by one: a reset.
    step("delete every third row", [&] {
        std::vector<bool> flags(size_t(model.count()));
        for (size_t i = 0; i < flags.size(); i += 3)
            flags[i] = true;
        model.setSelectionFlags(flags);
        Ops::deleteSelected(model);
    });
    step("sort by path", [&] { Ops::sortByColumn(model, 3); });
    // A change of the highlight alone leaves the keys and finds nothing new.
    model.CancelPlayListColor();
    model.setPlayListTrNum(3);
    model.SetPlayListColor();
    verifyInStep(model, finder, query);
    step("clear", [&] { model.clear(); });
    QVERIFY2(finder.keys().bytesUsed() < 64,
             qPrintable(QString::number(finder.keys().bytesUsed())));
}

QTEST_GUILESS_MAIN(TestFindRows)
#include "tst_find_rows.moc"
