#include "common/FileNames.h"
#include "common/LegacyText.h"
#include "common/Numbers.h"
#include "common/Paths.h"
#include "common/SaveFile.h"
#include "common/TimeText.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <optional>

using namespace pelto;

class TestTextHelpers : public QObject {
    Q_OBJECT
private slots:
    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("value");
        QTest::newRow("integer") << "120" << std::optional<double>(120);
        QTest::newRow("blanks around") << "  -7\t" << std::optional<double>(-7);
        QTest::newRow("fraction") << "87.5" << std::optional<double>(87.5);
        QTest::newRow("hex") << "&HFF" << std::optional<double>(255);
        QTest::newRow("hex lower case prefix") << "&hff00" << std::optional<double>(-256);
        QTest::newRow("hex 16-bit pattern") << "&HFFFF" << std::optional<double>(-1);
        QTest::newRow("hex colour") << "&HFFFFFF" << std::optional<double>(16777215);
        QTest::newRow("hex 32-bit pattern") << "&HFFFFFFFF" << std::optional<double>(-1);
        QTest::newRow("exponent") << "1e3" << std::optional<double>(1000);
        QTest::newRow("leading dot") << ".5" << std::optional<double>(0.5);
        QTest::newRow("empty") << "" << std::optional<double>();
        QTest::newRow("word") << "abc" << std::optional<double>();
        QTest::newRow("trailing junk") << "12px" << std::optional<double>();
        QTest::newRow("bare sign") << "-" << std::optional<double>();
        QTest::newRow("bad hex") << "&HXYZ" << std::optional<double>();
        QTest::newRow("hex too long") << "&H123456789" << std::optional<double>();
        QTest::newRow("infinite") << "1e999" << std::optional<double>();
        QTest::newRow("inner blank") << "1 2" << std::optional<double>();
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, value);
        QCOMPARE(parseNumber(text), value);
    }

    void roundingAndNarrowing() {
        // Halves go to the even neighbour.
        QCOMPARE(parseInt32(u"0.5"), std::optional<std::int32_t>(0));
        QCOMPARE(parseInt32(u"1.5"), std::optional<std::int32_t>(2));
        QCOMPARE(parseInt32(u"2.5"), std::optional<std::int32_t>(2));
        QCOMPARE(parseInt32(u"-2.5"), std::optional<std::int32_t>(-2));
        QCOMPARE(parseInt32(u"87.51"), std::optional<std::int32_t>(88));
        // 16-bit range, and its edges after rounding.
        QCOMPARE(parseInt16(u"32767"), std::optional<std::int16_t>(32767));
        QCOMPARE(parseInt16(u"32767.5"), std::optional<std::int16_t>());
        QCOMPARE(parseInt16(u"-32768"), std::optional<std::int16_t>(-32768));
        QCOMPARE(parseInt16(u"32768"), std::optional<std::int16_t>());
        // 8-bit unsigned.
        QCOMPARE(parseUInt8(u"255"), std::optional<std::uint8_t>(255));
        QCOMPARE(parseUInt8(u"256"), std::optional<std::uint8_t>());
        QCOMPARE(parseUInt8(u"-1"), std::optional<std::uint8_t>());
        QCOMPARE(parseUInt8(u"x"), std::optional<std::uint8_t>());
        QCOMPARE(toInt16(1e300), std::optional<std::int16_t>());
    }

    void legacyDecoding() {
        QCOMPARE(decodeLegacyText("plain"), "plain");
        QCOMPARE(decodeLegacyText("\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC"),
                 QString::fromUtf8("日本"));
        QCOMPARE(decodeLegacyText("\x93\xFA\x96\x7B"), QString::fromUtf8("日本"));
        // Windows extensions of CP932: the wave dash as U+FF5E and NEC circled digits.
        QCOMPARE(decodeLegacyText("\x81\x60"), QString(QChar(0xFF5E)));
        QCOMPARE(decodeLegacyText("\x87\x40"), QString::fromUtf8("①"));
        // An overlong UTF-8 form and a lone surrogate are not UTF-8.
        QVERIFY(!isValidUtf8("\xC0\xAF"));
        QVERIFY(!isValidUtf8("\xED\xA0\x80"));
        QVERIFY(!isValidUtf8("\xE6\x97"));
        QVERIFY(isValidUtf8("\xF0\x9F\x8E\xB5"));
        // Bytes CP932 cannot map show as U+FFFD, never as a control character.
        const QString bad = decodeLegacyText("a\xFD\xFE"
                                             "b");
        QVERIFY(bad.startsWith(u'a') && bad.endsWith(u'b'));
        QVERIFY(bad.contains(QChar(0xFFFD)));
        QVERIFY(!bad.contains(QChar(0x1A)));
        QCOMPARE(encodeLinesCrLf({"a", QString::fromUtf8("曲")}),
                 QByteArray("a\r\n\xE6\x9B\xB2\r\n"));
    }

    void fileNamesKeepTheirBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // what it reads as, when it is UTF-8
        QTest::newRow("ascii") << QByteArray("/m/a b.mp3") << "/m/a b.mp3";
        QTest::newRow("utf-8") << QByteArray("/m/\xE6\x9B\xB2.mp3") << "/m/曲.mp3";
        QTest::newRow("leading byte order mark")
            << QByteArray("\xEF\xBB\xBFx") << QString(QChar(0xFEFF)) + "x";
        QTest::newRow("latin-1") << QByteArray("/m/caf\xE9.mp3") << QString();
        QTest::newRow("shift-jis") << QByteArray("/m/\x83\x65\x83\x58\x83\x67.mp3") << QString();
        QTest::newRow("cut sequence at the end") << QByteArray("a\xE6\x9B") << QString();
        QTest::newRow("an encoded surrogate") << QByteArray("\xED\xB2\x80") << QString();
        QTest::newRow("four-byte character, then a stray byte")
            << QByteArray("\xF0\x9F\x8E\xB5\x80") << QString();
        QByteArray high;
        for (int b = 0x80; b <= 0xFF; ++b)
            high += char(b);
        QTest::newRow("every high byte") << high << QString();
    }

    void fileNamesKeepTheirBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString name = decodeFileName(bytes);
        QCOMPARE(encodeFileName(name), bytes);
        if (!text.isNull())
            QCOMPARE(name, text);
        else
            QVERIFY(!name.contains(QChar(0xFFFD)));
        // Text that never came from bytes is UTF-8.
        QCOMPARE(encodeFileName(u"曲 \U0001F3B5"), QByteArray("\xE6\x9B\xB2 \xF0\x9F\x8E\xB5"));

        // A drop names the file as an address with the bytes percent-encoded.
        QUrl url(QStringLiteral("file://"));
        url.setPath(QString::fromLatin1(bytes.toPercentEncoding("/")), QUrl::TolerantMode);
        if (bytes.startsWith('/'))
            QCOMPARE(encodeFileName(localFileOf(url)), bytes);
    }

    void dropsKeepNameBytes() {
        QMimeData drop;
        drop.setData("text/uri-list", "file:///m/caf%E9.mp3\r\nhttp://x/y.mp3\r\n");
        QCOMPARE(drop.urls().size(), 2);
        QCOMPARE(encodeFileName(localFileOf(drop.urls()[0])), QByteArray("/m/caf\xE9.mp3"));
        QVERIFY(localFileOf(drop.urls()[1]).isEmpty());
    }

    void atomicWrite() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Pelto.cfg");
        QVERIFY(writeFileAtomically(path, "one\r\n"));
        QVERIFY(writeFileAtomically(path, "two\r\n"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("two\r\n"));
        f.close();
        // A folder that cannot be written keeps the old file and reports failure.
        if (geteuid() != 0) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            QVERIFY(!writeFileAtomically(path, "three\r\n"));
            QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("two\r\n"));
        }
        QVERIFY(!writeFileAtomically(dir.filePath("missing/sub/x.m3u"), "x"));
    }

    void paths() {
        const PathSyntax win = PathSyntax::windows();
        QCOMPARE(win.fileName("C:\\Music\\a.mp3"), "a.mp3");
        QCOMPARE(win.folder("C:\\Music\\a.mp3"), "C:\\Music\\");
        QCOMPARE(win.title("C:\\a\\b.c.mp3"), "b.c");
        QCOMPARE(win.title("D:\\a.b.c.mp3"), "a.b.c");
        QCOMPARE(win.title("C:\\noext"), "noext");
        QCOMPARE(win.folder("a.mp3"), "");
        QCOMPARE(win.withTrailingSeparator("C:\\Pelto"), "C:\\Pelto\\");
        QCOMPARE(win.withTrailingSeparator("C:\\"), "C:\\");

        const PathSyntax posix = PathSyntax::posix();
        QCOMPARE(posix.fileName("/home/u/Music/a.mp3"), "a.mp3");
        QCOMPARE(posix.folder("/home/u/Music/a.mp3"), "/home/u/Music/");
        QCOMPARE(posix.title("/x/.hidden"), "");
        QCOMPARE(posix.title("/x/y"), "y");

        QCOMPARE(extensionOf("A.MP3"), ".mp3");
        QCOMPARE(extensionOf("a.mp3x"), ".mp3x");
        QCOMPARE(extensionOf("C:\\Music.old\\song"), ".old\\song");
        QCOMPARE(extensionOf("noext"), "");

        QCOMPARE(CutAtNul(QString("abc") + QChar(0) + "def"), "abc");
        QCOMPARE(CutAtNul("abc"), "abc");
        QCOMPARE(CutAtNul(QString(QChar(0))), "");
    }

    void programFolderHonoursPeltoHome() {
        qputenv("PELTO_HOME", "/tmp/pelto-home");
        QCOMPARE(programFolder(), "/tmp/pelto-home/");
        qputenv("PELTO_HOME", "/tmp/pelto-home/");
        QCOMPARE(programFolder(), "/tmp/pelto-home/");
        qunsetenv("PELTO_HOME");
        QVERIFY(programFolder().endsWith(u'/'));
        QCOMPARE(programFolder(), QCoreApplication::applicationDirPath() + "/");
    }

    void times() {
        QCOMPARE(timeText(0), "00:00");
        QCOMPARE(timeText(59), "00:59");
        QCOMPARE(timeText(245), "04:05");
        QCOMPARE(timeText(3600), "60:00");
        QCOMPARE(timeText(5999), "99:59");
        QCOMPARE(timeText(6000), "100:00");
        QCOMPARE(timeText(-5), "00:00");
    }
};

QTEST_GUILESS_MAIN(TestTextHelpers)
#include "tst_text_helpers.moc"
