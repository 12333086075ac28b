#include "taginfo/CurrentSong.h"
#include "taginfo/InfoLines.h"

#include <QTest>

using namespace pelto;

namespace {

const QString kLine3 = QStringLiteral("%4%-(%4,%-(%3, - ))%3");

CurrentSong morningSong() {
    CurrentSong song;
    song.id3.Title = QStringLiteral("Morning Song");
    song.id3.Artist = QStringLiteral("The Birds");
    song.id3.Album = QStringLiteral("First Album");
    song.id3.Comment = QStringLiteral("Demo");
    song.id3.Year = QStringLiteral("2001");
    song.id3.GenreName = QStringLiteral("Pop");
    song.DmyFileName = QStringLiteral("C:\\Music\\Morning Song.mp3");
    song.TotalSec = 245;
    return song;
}

QString formatWindows(const QString& format, const CurrentSong& song) {
    return FormatTagInfo(format, song, PathSyntax::windows());
}

} // namespace

class TestFormatTagInfo : public QObject {
    Q_OBJECT
private slots:
    void workedExamples_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("result");
        QTest::newRow("title") << "%1"
                               << "Morning Song";
        QTest::newRow("literal between") << "%2 / %5"
                                         << "The Birds / 2001";
        QTest::newRow("default line 3") << kLine3 << "Demo - First Album";
        QTest::newRow("ext not valid") << "%+(%a,%1)"
                                       << "Morning Song";
        QTest::newRow("file name") << "%+(%a,%g)"
                                   << "Morning Song";
        QTest::newRow("parens in B") << "%-(%5,(%5))"
                                     << "(2001)";
        QTest::newRow("length") << "%1 [%h]"
                                << "Morning Song [04:05]";
        QTest::newRow("commas in B") << "%+(%b,%2, %3)"
                                     << "The Birds, First Album";
        QTest::newRow("B of one space") << "%-(%2, )%2"
                                        << "The Birds";
        QTest::newRow("final percent") << "100%"
                                       << "100%";
        QTest::newRow("unknown commands") << "%A%z"
                                          << "%A%z";
        QTest::newRow("double percent") << "%%1"
                                        << "%Morning Song";
    }
    void workedExamples() {
        QFETCH(QString, format);
        QFETCH(QString, result);
        QCOMPARE(formatWindows(format, morningSong()), result);
    }

    void defaultLineThreeWithMissingParts() {
        CurrentSong song = morningSong();
        song.id3.Comment.clear();
        QCOMPARE(FormatTagInfo(kLine3, song), QStringLiteral("First Album"));
        song = morningSong();
        song.id3.Album.clear();
        QCOMPARE(FormatTagInfo(kLine3, song), QStringLiteral("Demo"));
        song.id3.Comment = QStringLiteral("   ");
        QCOMPARE(FormatTagInfo(kLine3, song), QString());
    }

    void allFieldCommands() {
        CurrentSong song = morningSong();
        song.ext = {"xTitle", "xArtist", "xAlbum", "xComment", "xGenre", "xDate", "7"};
        song.ExtTagValid = 1;
        QCOMPARE(FormatTagInfo("%1|%2|%3|%4|%5|%6", song),
                 QStringLiteral("Morning Song|The Birds|First Album|Demo|2001|Pop"));
        QCOMPARE(FormatTagInfo("%a|%b|%c|%d|%e|%f", song),
                 QStringLiteral("xTitle|xArtist|xAlbum|xComment|xDate|xGenre"));
        // Extended fields of an earlier song stay hidden once the flag is 0.
        song.ExtTagValid = 0;
        QCOMPARE(FormatTagInfo("[%a%b%c%d%e%f]", song), QStringLiteral("[]"));
        // Commands are case-sensitive; "%7" and "%i" are not commands.
        QCOMPARE(FormatTagInfo("%G%H%7%i", song), QStringLiteral("%G%H%7%i"));
    }

    void valuesAreTrimmedOfSpacesOnly() {
        CurrentSong song;
        song.id3.Title = QStringLiteral("  Live  ");
        song.id3.Artist = QStringLiteral("\tTab\t");
        song.id3.Album = QStringLiteral("\u3000Wide\u3000");
        song.id3.Comment = QStringLiteral("   ");
        QCOMPARE(FormatTagInfo("<%1>", song), QStringLiteral("<Live>"));
        QCOMPARE(FormatTagInfo("<%2>", song), QStringLiteral("<\tTab\t>"));
        QCOMPARE(FormatTagInfo("<%3>", song), QStringLiteral("<\u3000Wide\u3000>"));
        QCOMPARE(FormatTagInfo("%+(%4,empty)", song), QStringLiteral("empty"));
        // Version 1 values count only up to a NUL.
        song.id3.Title = QStringLiteral("Cut") + QChar(0) + QStringLiteral("hidden");
        QCOMPARE(FormatTagInfo("%1", song), QStringLiteral("Cut"));
        // Field values are never scanned as format text.
        song.id3.Title = QStringLiteral("a,(b)%1)");
        QCOMPARE(FormatTagInfo("%+(%1,x)!", song), QStringLiteral("a,(b)%1)!"));
    }

    void conditionalEdgeCases_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("result");
        QTest::newRow("empty format") << ""
                                      << "";
        QTest::newRow("plain text kept") << "  no commands  "
                                         << "  no commands  ";
        QTest::newRow("empty A") << "%+(,%1)"
                                 << "Morning Song";
        QTest::newRow("empty B") << "%-(%1,)"
                                 << "";
        QTest::newRow("A of one space") << "%+( ,%1)"
                                        << "Morning Song";
        QTest::newRow("A of two spaces") << "%+(  ,%1)"
                                         << "  ";
        QTest::newRow("opening not examined") << "%+x%1,%2)"
                                              << "Morning Song";
        QTest::newRow("minus with empty A") << "%-(%a,shown)"
                                            << "";
        QTest::newRow("nested commas skipped") << "%+(%-(%1,a,b),c)"
                                               << "a,b";
        QTest::newRow("text after close") << "%+(%1,x)-%2"
                                          << "Morning Song-The Birds";
        QTest::newRow("parens counted in literal text") << "%+((x,y),z)"
                                                        << "(x,y)";
        // A conditional that never closes takes the rest as its inner text.
        QTest::newRow("unclosed") << "%+(%a,%1 and %2"
                                  << "Morning Song and The Birds";
        QTest::newRow("unclosed nested") << "%+(%-(%1,x"
                                         << "x";
        // Without a comma at depth 0, A is the whole inner text and B empty.
        QTest::newRow("no comma plus") << "%+(%1 x)"
                                       << "Morning Song x";
        QTest::newRow("no comma minus") << "%-(%1)"
                                        << "";
        QTest::newRow("bare plus") << "%+"
                                   << "";
        QTest::newRow("plus and paren only") << "ab%-("
                                             << "ab";
        QTest::newRow("stray close paren") << "a)b,c"
                                           << "a)b,c";
    }
    void conditionalEdgeCases() {
        QFETCH(QString, format);
        QFETCH(QString, result);
        QCOMPARE(FormatTagInfo(format, morningSong()), result);
    }

    void lengthAndFileName() {
        CurrentSong song;
        const std::pair<int, const char*> lengths[] = {
            {0, "00:00"}, {59, "00:59"}, {245, "04:05"}, {3600, "60:00"}, {6000, "100:00"}};
        for (const auto& [seconds, text] : lengths) {
            song.TotalSec = seconds;
            QCOMPARE(FormatTagInfo("%h", song), QString::fromLatin1(text));
        }
        song.DmyFileName = QStringLiteral("D:\\a.b.c.mp3");
        QCOMPARE(formatWindows("%g", song), QStringLiteral("a.b.c"));
        song.DmyFileName = QStringLiteral("/music/dir.v2/a.b.c.mp3");
        QCOMPARE(FormatTagInfo("%g", song), QStringLiteral("a.b.c"));
        // A name without "." is shown whole; the folder's dots do not count.
        song.DmyFileName = QStringLiteral("/music/dir.v2/README");
        QCOMPARE(FormatTagInfo("%g", song), QStringLiteral("README"));
        song.DmyFileName.clear();
        QCOMPARE(FormatTagInfo("[%g]", song), QStringLiteral("[]"));
        // The POSIX program does not split at "\".
        song.DmyFileName = QStringLiteral("/x/back\\slash.mp3");
        QCOMPARE(FormatTagInfo("%g", song), QStringLiteral("back\\slash"));
    }

    void noTagsGiveEmptyDefaultLines() {
        CurrentSong song;
        song.DmyFileName = QStringLiteral("/m/untagged.mp3");
        const Settings defaults;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(FormatTagInfo(defaults.userTagInfo(i), song), QString());
    }

    void deepNestingIsBounded() {
        // Within the bound every level is expanded.
        QString nested = QStringLiteral("%1");
        for (int i = 0; i < 30; ++i)
            nested = QStringLiteral("%+(") + nested + QStringLiteral(",x)");
        QCOMPARE(FormatTagInfo(nested, morningSong()), QStringLiteral("Morning Song"));
        // Past it, the rest is shown literally instead of recursing without end.
        QString deep;
        for (int i = 0; i < 100000; ++i)
            deep += QStringLiteral("%+(");
        const QString result = FormatTagInfo(deep, morningSong());
        QVERIFY(result.startsWith(QStringLiteral("%+(%+(")));
        QCOMPARE(result.size(), deep.size() - 32 * 3);
    }

    void infoLineChoices() {
        Settings settings;
        const std::array<QString, 3> skin = {"s0", "s1", "s2"};
        settings.UseSkinTag = 1;
        QCOMPARE(infoLineFormat(2, settings, skin), QStringLiteral("s2"));
        QCOMPARE(scrollSeparator(settings, " * "), QStringLiteral(" * "));
        settings.UseSkinTag = 0;
        settings.TagInfo2 = QStringLiteral("%5");
        QCOMPARE(infoLineFormat(0, settings, skin), QStringLiteral("%1"));
        QCOMPARE(infoLineFormat(1, settings, skin), QStringLiteral("%5"));
        QCOMPARE(infoLineFormat(2, settings, skin), settings.TagInfo3);
        QCOMPARE(scrollSeparator(settings, " * "), QStringLiteral(" - "));
    }

    void lineForBoxDoublesOnlyWhenWider() {
        QCOMPARE(lineForBox("abc", " - ", 99, 100), QStringLiteral("abc"));
        QCOMPARE(lineForBox("abc", " - ", 100, 100), QStringLiteral("abc"));
        QCOMPARE(lineForBox("abc", " - ", 101, 100), QStringLiteral("abc - abc - "));
        // The separator is literal text, commands included.
        QCOMPARE(lineForBox("t", "%1", 5, 1), QStringLiteral("t%1t%1"));
    }
};

QTEST_APPLESS_MAIN(TestFormatTagInfo)
#include "tst_formattaginfo.moc"
