// Files that are damaged, hostile or not audio: opening fails or plays what decodes,
// file information stays sane, and nothing crashes, hangs or reads past a buffer.
// Also the pieces that parse file structure: the ID3v1 tag and the RIFF chunk walk.
#include "AudioTestFiles.h"

#include "audio/FileInfoReader.h"
#include "audio/Id3v1.h"
#include "audio/PcmSource.h"
#include "common/FileSpan.h"
#include "common/LegacyText.h"
#include "common/RiffChunks.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelto;
using namespace pelto::test;

namespace {

QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char(v >> (8 * i));
    return b;
}

QByteArray chunk(const char* id, const QByteArray& body, qint64 declared = -1) {
    QByteArray out = QByteArray(id, 4) + le32(quint32(declared < 0 ? body.size() : declared));
    out += body;
    if (body.size() % 2)
        out += '\0';
    return out;
}

QByteArray riff(const char* form, const QByteArray& chunks, qint64 declared = -1) {
    const qint64 size = declared < 0 ? chunks.size() + 4 : declared;
    return "RIFF" + le32(quint32(size)) + QByteArray(form, 4) + chunks;
}

// A 16-bit PCM 'fmt ' body.
QByteArray pcmFormat(int channels, int rate) {
    QByteArray f;
    f += char(1) + QByteArray(1, '\0');
    f += char(channels) + QByteArray(1, '\0');
    f += le32(quint32(rate)) + le32(quint32(rate * channels * 2));
    f += char(channels * 2) + QByteArray(1, '\0');
    f += char(16) + QByteArray(1, '\0');
    return f;
}

QByteArray id3v1(const QByteArray& title, int genre, const QByteArray& comment = {}) {
    QByteArray tag = "TAG" + title.leftJustified(30, '\0', true);
    tag += QByteArray("Artist  ").leftJustified(30, '\0', true);
    tag += QByteArray(30, '\0');
    tag += "1999";
    tag += comment.leftJustified(30, '\0', true);
    tag += char(genre);
    return tag;
}

} // namespace

class TestAudioBadFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void notPlayable_data();
    void notPlayable();
    void damagedButSafe_data();
    void damagedButSafe();
    void id3v1Fields();
    void genreNames();
    void riffChunkWalk();
    void bufferedReadsMatchTheFile();

private:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        writeFile(path, bytes);
        return path;
    }
    QTemporaryDir m_dir;
};

void TestAudioBadFiles::notPlayable_data() {
    QTest::addColumn<QString>("path");
    const QByteArray mp3 = readFile(fixture("mpeg1_l3_cbr.mp3"));
    QTest::newRow("missing") << m_dir.filePath("nothing_here.mp3");
    QTest::newRow("folder") << m_dir.path();
    QTest::newRow("zero bytes") << write("empty.mp3", {});
    QTest::newRow("text") << write("text.mp3", QByteArray("just some words\n").repeated(200));
    QTest::newRow("Wave without frames") << write(
        "noframes.wav", riff("WAVE", chunk("fmt ", pcmFormat(2, 44100)) + chunk("data", {})));
    QTest::newRow("Wave, fmt size 0") << write(
        "fmt0.wav", riff("WAVE", chunk("fmt ", {}) + chunk("data", QByteArray(4000, 'x'))));
    QTest::newRow("RMP3 without data")
        << write("nodata.rmp", riff("RMP3", chunk("LIST", "INFO" + chunk("INAM", "x"))));
    QTest::newRow("only an ID3v2 header claiming 0x7F7F7F7F bytes") << write(
        "id3only.mp3", QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + QByteArray(2000, '\0'));
    QTest::newRow("only the Info frame") << write("infoframe.mp3", mp3.left(417));
}

void TestAudioBadFiles::notPlayable() {
    QFETCH(QString, path);
    PcmSource source;
    QVERIFY(!source.open(path));
    QCOMPARE(readFileInfo(path).TotalSec, 0);
}

void TestAudioBadFiles::damagedButSafe_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("minFrames"); // what must still decode
    const QByteArray mp3 = readFile(fixture("mpeg1_l3_cbr.mp3"));
    const QByteArray wave = readFile(fixture("wave_s16_stereo.wav"));
    QByteArray random(64 * 1024, '\0');
    QRandomGenerator rng(1234);
    rng.fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);

    QTest::newRow("random bytes") << write("random.mp3", random) << 0;
    QTest::newRow("random bytes as Wave")
        << write("random.wav", riff("WAVE", chunk("fmt ", pcmFormat(2, 44100)) + random)) << 0;
    QTest::newRow("truncated MP3") << write("cut.mp3", mp3.left(mp3.size() / 2)) << 20000;
    QTest::newRow("truncated Wave") << write("cut.wav", wave.left(wave.size() / 2)) << 6000;
    QTest::newRow("ID3v2 size 0x7F7F7F7F before MP3")
        << write("id3big.mp3", QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + mp3) << 0;
    QTest::newRow("RIFF size past the end")
        << write("riffbig.rmp", riff("RMP3", chunk("data", mp3), 0x7FFFFFF0)) << 100000;
    QTest::newRow("data size 0xFFFFFFFF in RMP3")
        << write("data_ffff.rmp", riff("RMP3", chunk("data", mp3, 0xFFFFFFFF), 0xFFFFFFFF))
        << 100000;
    QTest::newRow("data size 0xFFFFFFFF in Wave")
        << write("data_ffff.wav",
                 riff("WAVE", chunk("fmt ", pcmFormat(1, 8000)) +
                                  chunk("data", QByteArray(16000, '\x10'), 0xFFFFFFFF)))
        << 0;
    QTest::newRow("chunk before data past the end")
        << write("junkbig.rmp", riff("RMP3", chunk("JUNK", "ab", 0xFFFFFFF0) + chunk("data", mp3)))
        << 0;
}

void TestAudioBadFiles::damagedButSafe() {
    QFETCH(QString, path);
    QFETCH(int, minFrames);
    const FileInfo info = readFileInfo(path);
    QVERIFY(info.TotalSec >= 0 && info.TotalSec < 3600);
    const Decoded pcm = decodeAll(path);
    QVERIFY2(pcm.frames() >= minFrames, qPrintable(QString::number(pcm.frames())));
    if (pcm.frames() > 0) {
        QVERIFY(pcm.rate > 0);
        PcmSource source;
        QVERIFY(source.open(path));
        source.seekSeconds(1); // may fail; must not crash
        float buf[2 * 256];
        while (source.read(buf, 256) > 0) {
        }
    }
}

void TestAudioBadFiles::id3v1Fields() {
    // Fields are cut at NUL, kept untrimmed, and decoded as legacy text (CP932 here).
    const QByteArray sjis = QByteArray("\x93\xfa\x96\x7b\x8c\xea"); // 日本語
    auto tag = parseId3v1(id3v1(" " + sjis + " ", 80, "note\0\x07"));
    QVERIFY(tag);
    QCOMPARE(tag->Title, QString(" 日本語 "));
    QCOMPARE(tag->Artist, QString("Artist  "));
    QCOMPARE(tag->Album, QString());
    QCOMPARE(tag->Year, QString("1999"));
    QCOMPARE(tag->Comment, QString("note")); // ID3v1.1 track byte after the NUL
    QCOMPARE(tag->Genre, 80);
    QCOMPARE(tag->GenreName, QString("Folk"));
    // Genre 255 means none.
    tag = parseId3v1(id3v1("x", 255));
    QCOMPARE(tag->Genre, 255);
    QVERIFY(tag->GenreName.isEmpty());
    // Not a tag.
    QVERIFY(!parseId3v1(QByteArray(128, 'T')));
    QVERIFY(!parseId3v1(id3v1("x", 1).left(127)));

    // Read from a file: the tag is the last 128 bytes, also of a file that is no audio.
    const QString path = write("tagged.mp3", QByteArray(500, 'z') + id3v1("Song", 17));
    const FileInfo info = readFileInfo(path);
    QCOMPARE(info.tag.Title, QString("Song"));
    QCOMPARE(info.tag.GenreName, QString("Rock"));
    QCOMPARE(info.TotalSec, 0);
    // A file shorter than a tag has none.
    QCOMPARE(readFileInfo(write("short.mp3", "TAG")).tag.Title, QString());
}

void TestAudioBadFiles::genreNames() {
    QCOMPARE(id3GenreName(0), QString("Blues"));
    QCOMPARE(id3GenreName(67), QString("Psychedelic"));
    QCOMPARE(id3GenreName(79), QString("Hard Rock"));
    QCOMPARE(id3GenreName(125), QString("Dancehall"));
    QCOMPARE(id3GenreName(147), QString("Synthpop"));
    QCOMPARE(id3GenreName(191), QString("Psybient"));
    QVERIFY(id3GenreName(192).isEmpty());
    QVERIFY(id3GenreName(-1).isEmpty());
}

void TestAudioBadFiles::riffChunkWalk() {
    // An odd-sized chunk is followed by a pad byte; the walk finds what comes after.
    const QString odd =
        write("odd.rmp", riff("RMP3", chunk("JUNK", "abc") + chunk("data", "xyzw")));
    FileSpan file;
    QVERIFY(file.open(odd));
    auto data = findRiffChunk(file, {'d', 'a', 't', 'a'});
    QVERIFY(data);
    QCOMPARE(data->offset, 12 + 8 + 4 + 8);
    QCOMPARE(data->size, 4);
    QVERIFY(!findRiffChunk(file, {'L', 'I', 'S', 'T'}));

    // A chunk that claims more than the file has is cut at the end of the file.
    const QString big = write("big.rmp", riff("RMP3", chunk("data", "12345678", 0xFFFFFFFF)));
    QVERIFY(file.open(big));
    data = findRiffChunk(file, {'d', 'a', 't', 'a'});
    QVERIFY(data);
    QCOMPARE(data->size, 8);

    // The window hides the rest of the file from reads and seeks.
    file.setWindow(data->offset, data->offset + 4);
    char buf[16] = {};
    QCOMPARE(file.read(buf, 16), 4);
    QCOMPARE(QByteArray(buf, 4), QByteArray("1234"));
    QCOMPARE(file.read(buf, 16), 0);
    QCOMPARE(file.seek(5, SEEK_SET), -1);
    QCOMPARE(file.seek(-1, SEEK_END), 3);

    char head[12];
    QCOMPARE(riffFormOf(head, 0), RiffForm::None);
    QCOMPARE(riffFormOf("RIFF\0\0\0\0WAVE", 12), RiffForm::Wave);
    QCOMPARE(riffFormOf("RIFF\0\0\0\0AVI ", 12), RiffForm::Other);
}

void TestAudioBadFiles::bufferedReadsMatchTheFile() {
    // Small reads and seeks through a read buffer give exactly the file's bytes, and
    // the window still bounds them.
    const QByteArray bytes = readFile(fixture("mpeg1_l3_cbr.mp3"));
    FileSpan file;
    QVERIFY(file.open(fixture("mpeg1_l3_cbr.mp3")));
    file.setReadBuffer(1000);
    file.setWindow(100, bytes.size() - 100);
    const QByteArray window = bytes.mid(100, bytes.size() - 200);
    QByteArray got;
    char piece[1500];
    QRandomGenerator rng(7);
    for (;;) {
        const std::int64_t n = file.read(piece, rng.bounded(1, 1500));
        QVERIFY(n >= 0);
        if (n == 0)
            break;
        got.append(piece, qsizetype(n));
    }
    QCOMPARE(got, window);
    for (const std::int64_t at :
         std::initializer_list<std::int64_t>{5000, 5100, 4990, 0, window.size() - 3}) {
        QCOMPARE(file.seek(at, SEEK_SET), at);
        const std::int64_t n = file.read(piece, 10);
        QCOMPARE(QByteArray(piece, qsizetype(n)), window.mid(qsizetype(at), 10));
    }
}

QTEST_GUILESS_MAIN(TestAudioBadFiles)
#include "tst_audio_badfiles.moc"
