#include "common/FieldReader.h"

#include <QTest>

using pelto::FieldReader;

namespace {
QStringList allFields(const QByteArray& bytes) {
    FieldReader r(bytes);
    QStringList out;
    while (!r.atEnd())
        out << r.readField();
    return out;
}
} // namespace

class TestFieldReader : public QObject {
    Q_OBJECT
private slots:
    void fields_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("comma and line end") << QByteArray("x,10\r\ny,20\r\n")
                                            << QStringList{"x", "10", "y", "20"};
        QTest::newRow("key and value on two lines")
            << QByteArray("x\r\n10\r\n") << QStringList{"x", "10"};
        QTest::newRow("LF and lone CR end lines")
            << QByteArray("a\nb\rc\r\nd") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("blanks before and after are dropped")
            << QByteArray("  x ,\t10\t\r\n") << QStringList{"x", "10"};
        QTest::newRow("empty line is an empty field")
            << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("quoted field keeps commas and blanks")
            << QByteArray("\" a, b \",c") << QStringList{" a, b ", "c"};
        QTest::newRow("text after the closing quote is dropped")
            << QByteArray("\"ab\"cd,e\r\n") << QStringList{"ab", "e"};
        QTest::newRow("quoted field may span lines")
            << QByteArray("\"a\r\nb\",c") << QStringList{"a\r\nb", "c"};
        QTest::newRow("unterminated quote runs to the end")
            << QByteArray("x,\"abc") << QStringList{"x", "abc"};
        QTest::newRow("key=value is one field")
            << QByteArray("x=10\r\n") << QStringList{"x=10"};
        QTest::newRow("trailing comma gives no extra field at the end")
            << QByteArray("a,") << QStringList{"a"};
        QTest::newRow("two commas give an empty field")
            << QByteArray("a,,b") << QStringList{"a", "", "b"};
    }
    void fields() {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, fields);
        QCOMPARE(allFields(input), fields);
    }

    void lineValues() {
        // After a key that ends at a comma: the rest of that line, literally.
        FieldReader r("tag, %1 - %2, \"%3\"\r\ntext\r\n  Total: \r\nnext");
        QCOMPARE(r.readField(), "tag");
        QCOMPARE(r.readLineValue(), QString(" %1 - %2, \"%3\""));
        // After a key that ends its line: the whole next line.
        QCOMPARE(r.readField(), "text");
        QCOMPARE(r.readLineValue(), QString("  Total: "));
        QCOMPARE(r.readField(), "next");
        QVERIFY(r.atEnd());
        // A key that is the last field of the data has no value.
        QCOMPARE(r.readLineValue(), std::nullopt);
    }

    void lineValueAfterCommaAtEnd() {
        FieldReader r("tag,");
        QCOMPARE(r.readField(), "tag");
        QCOMPARE(r.readLineValue(), QString());
        QVERIFY(r.atEnd());
    }

    void decodesUtf8AndCp932() {
        // "曲名" in UTF-8 with a byte order mark, and in CP932.
        QCOMPARE(allFields("\xEF\xBB\xBF\xE6\x9B\xB2\xE5\x90\x8D,x"),
                 (QStringList{QString::fromUtf8("曲名"), "x"}));
        QCOMPARE(allFields("\x8B\xC8\x96\xBC,x"), (QStringList{QString::fromUtf8("曲名"), "x"}));
        // "ソ" (0x83 0x5C) ends in a backslash byte and "表" (0x95 0x5C) too; neither
        // byte may split a field.
        QCOMPARE(allFields("\x83\x5C,\x95\x5C\r\n"),
                 (QStringList{QString::fromUtf8("ソ"), QString::fromUtf8("表")}));
        // Half-width katakana.
        QCOMPARE(allFields("\xC0\xB2\xC4\xD9"), QStringList{QString::fromUtf8("ﾀｲﾄﾙ")});
    }

    void hostileInput() {
        // NUL bytes, invalid sequences and a 1 MB line: no crash, no hang, all bytes
        // accounted for.
        QByteArray nul("a\0b,c", 5);
        QCOMPARE(allFields(nul).size(), 2);
        QCOMPARE(allFields(nul).first().size(), 3);

        const QByteArray big(1 << 20, 'x');
        const QStringList one = allFields(big + ",y");
        QCOMPARE(one.size(), 2);
        QCOMPARE(one.first().size(), big.size());

        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 7919) & 0xFF));
        FieldReader r(junk);
        int guard = 0;
        while (!r.atEnd() && guard++ < 100000)
            r.readField();
        QVERIFY(r.atEnd());
    }
};

QTEST_GUILESS_MAIN(TestFieldReader)
#include "tst_fieldreader.moc"
