#include "taginfo/ExtTagInfo.h"
#include "taginfo/MpegFrames.h"
#include "taginfo/TagSource.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <thread>
#include <vector>

using namespace pelto;

namespace {

const QString kFixtures = QStringLiteral(PELTO_SOURCE_DIR "/tests/taginfo/fixtures/");

QString fixture(const char* name) {
    return kFixtures + QLatin1String(name);
}

QStringList fields(const ExtTagInfo& t) {
    return {t.Title, t.Artist, t.Album, t.Comment, t.Genre, t.Date, t.Track};
}

QByteArray le32(quint32 n) {
    QByteArray b(4, '\0');
    qToLittleEndian(n, b.data());
    return b;
}

QByteArray chunk(const QByteArray& id, const QByteArray& body) {
    return id + le32(quint32(body.size())) + body + (body.size() % 2 ? QByteArray(1, '\0') : "");
}

QByteArray riffRmp3(const QByteArray& chunks) {
    return "RIFF" + le32(quint32(chunks.size() + 4)) + "RMP3" + chunks;
}

QByteArray syncsafe(quint32 n) {
    const char b[4] = {char(n >> 21 & 0x7F), char(n >> 14 & 0x7F), char(n >> 7 & 0x7F),
                       char(n & 0x7F)};
    return QByteArray(b, 4);
}

// A version 2.4 tag with one UTF-8 text frame, and the size the header declares.
QByteArray id3v24(const QByteArray& id, const QByteArray& utf8, quint32 declared = 0) {
    const QByteArray frame =
        id + syncsafe(quint32(utf8.size() + 1)) + QByteArray(2, '\0') + '\x03' + utf8;
    return "ID3\x04" + QByteArray(2, '\0') + syncsafe(declared ? declared : frame.size()) + frame;
}

QByteArray fileBytes(const char* name) {
    QFile f(fixture(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestReadExtTag : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    // Files tagged by independent tools and by hand, in every text encoding.
    void taggedFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        auto row = [](const char* file, QStringList values) {
            QTest::newRow(file) << fixture(file) << values;
        };
        row("lame_utf16.mp3", {"朝の歌", "小鳥たち", "最初のアルバム", "デモ", "Pop", "2001", "3"});
        row("id3v2_sjis.mp3",
            {"ｱｻﾉｳﾀ 朝の歌", "小鳥たち", "最初のアルバム", "デモ～", "Pop", "2001", "5"});
        row("eyed3_utf8.mp3",
            {"Morning Song ♪", "The Birds", "First Album", "Demo", "Rock", "2001-04-05", "07"});
        row("eyed3_utf16.mp3", {"夜の歌", "フクロウ", "二枚目", "ライブ", "Jazz", "1999", "11"});
        // Several values in one frame: the first is shown. "/8" is kept as it stands.
        row("mutagen_utf16be.mp3", {"最初", "歌手", "盤", "説明", "Rock", "2010-10-10", "/8"});
        // Spaces around a value are kept; "(13)" names its genre.
        row("mutagen_sjis.mp3", {"  ライブ  ", "表示", "Plain ASCII", "second", "Pop", "", "12"});
        row("v22.mp3", {"古い形式", "作者", "Album 2.2", "注釈", "Jazz", "1987", "4"});
        // The first comment frame counts, whatever its description.
        row("unsync23.mp3", {"ÿ同期", "ÿÿ", "", "first", "", "", "2"});
        // Version 2.3 with an extended header, without and with a CRC.
        row("ext23.mp3", {"拡張ヘッダ", "Ext Artist", "Ext Album", "", "", "", "6"});
        row("ext23_crc.mp3", {"拡張ヘッダ", "Ext Artist", "Ext Album", "", "", "", "6"});
        row("unsync24.mp3", {"ÿ四番", "Ä UTF-8", "", "", "Pop", "2004-02-29T10:20", ""});
        row("riff_sif.rmp", {"包まれた歌", "リフ", "RIFF盤", " 空白 ", "Jazz", "2003-03-03", "9"});
        // ID3v2 wins over the SIF information of the same file.
        row("riff_both.rmp",
            {"Morning Song ♪", "The Birds", "First Album", "Demo", "Rock", "2001-04-05", "07"});
    }
    void taggedFiles() {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        ExtTagInfo info;
        QCOMPARE(ReadExtTag(info, file), 1);
        QCOMPARE(fields(info), expected);
    }

    void filesWithoutExtendedTags_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("no tag") << fixture("plain.mp3");
        QTest::newRow("version 1 only") << fixture("id3v1_sjis.mp3");
        QTest::newRow("RIFF without SIF") << fixture("riff_plain.rmp");
        QTest::newRow("Wave named .mp3") << fixture("wave_named.mp3");
        QTest::newRow("missing") << fixture("no_such_file.mp3");
        QTest::newRow("folder") << kFixtures;
        QTest::newRow("empty path") << QString();
    }
    void filesWithoutExtendedTags() {
        QFETCH(QString, file);
        ExtTagInfo info{"keep", "keep", "keep", "keep", "keep", "keep", "keep"};
        const ExtTagInfo before = info;
        QCOMPARE(ReadExtTag(info, file), 0);
        // A read that fails before the values leaves the record as it was.
        QCOMPARE(fields(info), fields(before));
    }

    void sourceAnswers() {
        TagSource source;
        QVERIFY(source.load(fixture("riff_both.rmp")));
        QCOMPARE(source.type(), TagSource::FileType::MpegAudio);
        QCOMPARE(source.tagTypes(), TagSource::kId3v2 | TagSource::kRiffSif);
        QCOMPARE(source.value(u"INAM_rmp"), std::optional<QString>("包まれた歌"));
        QCOMPARE(source.value(u"TRACK_v2"), std::optional<QString>("07/10"));
        QCOMPARE(source.value(u"INAM_v1"), std::nullopt);
        QCOMPARE(source.value(u"IKEY_v2"), std::nullopt);
        QCOMPARE(source.value(u"INAM"), std::nullopt);

        QVERIFY(source.load(fixture("riff_sif.rmp")));
        QCOMPARE(source.tagTypes(), TagSource::kRiffSif);
        QCOMPARE(source.value(u"INAM_v2"), std::nullopt);

        QVERIFY(source.load(fixture("wave_named.mp3")));
        QCOMPARE(source.type(), TagSource::FileType::Wave);
        QVERIFY(source.load(fixture("plain.mp3")));
        QCOMPARE(source.type(), TagSource::FileType::MpegAudio);
        QCOMPARE(source.tagTypes(), 0);
        QVERIFY(!source.load(fixture("missing.mp3")));
    }

    void typeFollowsNameAndContent() {
        const QByteArray tagged = fileBytes("eyed3_utf8.mp3");
        ExtTagInfo info;
        QCOMPARE(ReadExtTag(info, write("upper.MP3", tagged)), 1);
        QCOMPARE(ReadExtTag(info, write("layer2.mp2", tagged)), 1);
        QCOMPARE(ReadExtTag(info, write("layer1.mp1", tagged)), 1);
        QCOMPARE(ReadExtTag(info, write("other.ogg", tagged)), 0);
        QCOMPARE(ReadExtTag(info, write("noext", tagged)), 0);
        // A tag followed by something that is not MPEG audio.
        const QByteArray tagOnly = id3v24("TIT2", "x");
        QCOMPARE(ReadExtTag(info, write("garbage.mp3", tagOnly + QByteArray(4000, 'g'))), 0);
        // A Wave file inside a RIFF header behind an ID3v2 tag is still Wave.
        QCOMPARE(ReadExtTag(info, write("wave.mp3", tagOnly + fileBytes("wave_named.mp3"))), 0);
    }

    void mpegFramesAreRecognised() {
        const auto length = [](std::initializer_list<unsigned char> h) {
            return mpegFrameLength(std::data(h));
        };
        QCOMPARE(length({0xFF, 0xFB, 0x90, 0x00}), 417); // MPEG-1 Layer III 128k 44.1 kHz
        QCOMPARE(length({0xFF, 0xFB, 0x92, 0x00}), 418); // the same, padded
        QCOMPARE(length({0xFF, 0xFF, 0xC4, 0x00}), 384); // Layer I 384k 48 kHz
        QCOMPARE(length({0xFF, 0xFD, 0xA4, 0x00}), 576); // Layer II 192k 48 kHz
        QCOMPARE(length({0xFF, 0xF3, 0x40, 0x00}), 104); // MPEG-2 Layer III 32k 22.05 kHz
        QCOMPARE(length({0xFF, 0xE3, 0x18, 0x00}), 72);  // MPEG-2.5 Layer III 8k 8 kHz
        QCOMPARE(length({0xFF, 0xFB, 0x00, 0x00}), -1);  // free format
        QCOMPARE(length({0xFF, 0xEB, 0x90, 0x00}), 0);   // reserved version
        QCOMPARE(length({0xFF, 0xF9, 0x90, 0x00}), 0);   // reserved layer
        QCOMPARE(length({0xFF, 0xFB, 0xF0, 0x00}), 0);   // bad bit rate
        QCOMPARE(length({0xFF, 0xFB, 0x9C, 0x00}), 0);   // reserved sample rate

        // Audio found behind junk within the first 64 KiB after the tag; not beyond.
        const QByteArray tag = id3v24("TIT2", "x");
        const QByteArray audio = fileBytes("plain.mp3");
        ExtTagInfo info;
        QCOMPARE(ReadExtTag(info, write("junk.mp3", tag + QByteArray(5000, '\0') + audio)), 1);
        QCOMPARE(ReadExtTag(info, write("far.mp3", tag + QByteArray(70000, '\0') + audio)), 0);
        // One chance header in text is not audio.
        const QByteArray chance =
            tag + QByteArray(100, 'a') + "\xFF\xFB\x90\x00" + QByteArray(1000, 'b');
        QCOMPARE(ReadExtTag(info, write("chance.mp3", chance)), 0);
    }

    void sizesAreCheckedAgainstTheFile() {
        const QByteArray audio = fileBytes("plain.mp3");
        ExtTagInfo info;
        // A tag that claims more bytes than the file has: the frames that are there count.
        const QByteArray huge = id3v24("TIT2", "Long claim", 0x0FFFFFFF);
        QCOMPARE(ReadExtTag(info, write("huge.mp3", huge)), 0); // nothing after it: not MPEG
        TagSource source;
        QVERIFY(source.load(write("huge.rmp", riffRmp3(chunk("data", huge)))));
        QCOMPARE(source.value(u"INAM_v2"), std::optional<QString>("Long claim"));

        // RIFF and chunk sizes beyond the end of the file are cut at it.
        QByteArray riff =
            riffRmp3(chunk("data", audio) + chunk("LIST", "INFO" + chunk("INAM", "Cut short")));
        riff.replace(4, 4, le32(0xFFFFFFFF));
        riff.replace(riff.indexOf("LIST") + 4, 4, le32(0xFFFFFFFE));
        QCOMPARE(ReadExtTag(info, write("long_sizes.rmp", riff)), 1);
        QCOMPARE(info.Title, QStringLiteral("Cut short"));
        // An item that runs past the end still gives what is there.
        QByteArray cut =
            riffRmp3(chunk("data", audio) + chunk("LIST", "INFO" + chunk("IART", "Artist")));
        cut.chop(3);
        QCOMPARE(ReadExtTag(info, write("truncated.rmp", cut)), 1);
        QCOMPARE(info.Artist, QStringLiteral("Art"));
        QCOMPARE(info.Title, QString()); // a field the list lacks is empty
        // A file that ends inside the RIFF header is not MPEG audio.
        QCOMPARE(ReadExtTag(info, write("stub.rmp", riff.left(10))), 0);
    }

    // In an unsynchronised version 2.3 tag the extended header is unsynchronised too:
    // its padding size 0x0000FF00 is written FF 00 00, and the frames start after it.
    // A header that claims more than the tag holds leaves the tag to the parser as is.
    void extendedHeaderOfAnUnsynchronisedTag() {
        const QByteArray frame = QByteArray("TIT2\0\0\0\x06\0\0\0Title", 16);
        const QByteArray extended("\0\0\0\x06\0\0\0\0\xFF\0\0", 11);
        const QByteArray audio = fileBytes("plain.mp3");
        ExtTagInfo info;
        QCOMPARE(
            ReadExtTag(info, write("ext_unsync.mp3", QByteArray("ID3\x03\x00\xC0", 6) +
                                                         syncsafe(27) + extended + frame + audio)),
            1);
        QCOMPARE(info.Title, QStringLiteral("Title"));
        const QByteArray endless("\x7F\xFF\xFF\xFF\0\0", 6);
        QCOMPARE(ReadExtTag(info, write("ext_endless.mp3", QByteArray("ID3\x03\x00\x40", 6) +
                                                               syncsafe(6) + endless + audio)),
                 1);
        QCOMPARE(info.Title, QString());
    }

    void longTextsAreCut() {
        const QByteArray audio = fileBytes("plain.mp3");
        const QByteArray longName(200000, 'n');
        ExtTagInfo info;
        QCOMPARE(ReadExtTag(info, write("long.rmp",
                                        riffRmp3(chunk("data", audio) +
                                                 chunk("LIST", "INFO" + chunk("INAM", longName))))),
                 1);
        QCOMPARE(info.Title.size(), 65536);
        // In an ID3v2 tag too; a Japanese text is not cut inside a character.
        QByteArray utf8;
        for (int i = 0; i < 70000; ++i)
            utf8 += "歌";
        QCOMPARE(ReadExtTag(info, write("long.mp3", id3v24("TALB", utf8) + audio)), 1);
        QCOMPARE(info.Album.size(), 65536);
        QVERIFY(!info.Album.contains(QChar::ReplacementCharacter));
        QCOMPARE(info.Album.back(), QChar(u'歌'));
    }

    void parallelReadsAgreeWithSequentialOnes() {
        const char* files[] = {"lame_utf16.mp3", "id3v2_sjis.mp3", "v22.mp3",   "unsync24.mp3",
                               "riff_sif.rmp",   "riff_both.rmp",  "plain.mp3", "mutagen_sjis.mp3"};
        std::vector<QStringList> expected;
        for (const char* f : files) {
            ExtTagInfo info;
            expected.push_back(fields(info) << QString::number(ReadExtTag(info, fixture(f))));
            expected.back() = fields(info) << expected.back().back();
        }
        std::atomic<int> mismatches = 0;
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&] {
                for (int round = 0; round < 200; ++round)
                    for (size_t i = 0; i < std::size(files); ++i) {
                        ExtTagInfo info;
                        const int result = ReadExtTag(info, fixture(files[i]));
                        if (fields(info) << QString::number(result) != expected[i])
                            ++mismatches;
                    }
            });
        for (std::thread& t : threads)
            t.join();
        QCOMPARE(mismatches.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestReadExtTag)
#include "tst_readexttag.moc"
