// Damaged and hostile FLAC, Ogg Vorbis and Opus files: each is skipped or plays as far
// as it decodes, with no crash, no hang and bounded memory, and its tags are read or
// left alone the same way. Made at test time from good files the encoders write.
#include "AudioTestFiles.h"
#include "XiphTestFiles.h"

#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"
#include "taginfo/ExtTagInfo.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

using namespace pelto;
using namespace pelto::test;

namespace {

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// What the program does with a file: its facts, its tags, then it plays it through
// and seeks in it. The frames it decodes; -1 when it does not open.
qint64 useAsThePlayerWould(const QString& path) {
    (void)readFileInfo(path);
    ExtTagInfo tags;
    const int valid = ReadExtTag(tags, path);
    if (valid != 0 && valid != 1)
        return -2;
    PcmSource source;
    if (!source.open(path))
        return -1;
    std::vector<float> buffer(2 * 4096);
    qint64 frames = 0;
    for (;;) {
        const std::int64_t n = source.read(buffer.data(), 4096);
        if (n <= 0)
            break;
        frames += n;
    }
    if (source.seekSeconds(1))
        (void)source.read(buffer.data(), 4096);
    (void)source.seekFrame(0);
    (void)source.read(buffer.data(), 4096);
    return frames;
}

} // namespace

class TestXiphBadFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void damaged_data();
    void damaged();
    void flacTotalsThatLie();
    void emptyFilesOfEveryName();

private:
    QByteArray goodFile(Xiph format);
    QTemporaryDir m_dir;
};

void TestXiphBadFiles::initTestCase() {
    QVERIFY(m_dir.isValid());
}

QByteArray TestXiphBadFiles::goodFile(Xiph format) {
    const QString wave = m_dir.filePath("good.wav");
    const QString path = m_dir.filePath(QStringLiteral("good") + extensionOf(format));
    if (!QFile::exists(path) && !(makeSourceWave(wave, 44100, 2, 16, 3.0) &&
                                  encode(format, wave, path,
                                         format == Xiph::Flac     ? QStringList{"--tag=TITLE=t"}
                                         : format == Xiph::Vorbis ? QStringList{"-t", "t"}
                                                                  : QStringList{"--title", "t"})))
        return {};
    return readFile(path);
}

void TestXiphBadFiles::damaged_data() {
    QTest::addColumn<Xiph>("format");
    QTest::addColumn<QString>("damage");
    for (const auto& [format, name] :
         {std::pair{Xiph::Flac, "FLAC"}, std::pair{Xiph::Vorbis, "Vorbis"},
          std::pair{Xiph::Opus, "Opus"}})
        for (const char* damage :
             {"header only", "cut in the headers", "cut at a third", "cut at two thirds",
              "garbage after the first page header", "garbage after the headers",
              "a 1 GB comment length", "a 4 GB comment length", "bytes flipped"})
            QTest::addRow("%s, %s", name, damage) << format << QString(damage);
}

void TestXiphBadFiles::damaged() {
    QFETCH(Xiph, format);
    QFETCH(QString, damage);
    const QByteArray good = goodFile(format);
    QVERIFY(good.size() > 10000);
    // Where the audio begins: after the first page (Ogg), after the metadata (FLAC).
    const qsizetype firstPage = format == Xiph::Flac ? 42 : 27 + quint8(good[26]);
    const qsizetype headers = vorbisCommentAt(format, good) + 200;
    QRandomGenerator random(42);
    const auto garbage = [&](qsizetype n) {
        QByteArray bytes(n, '\0');
        for (char& c : bytes)
            c = char(random.bounded(256));
        return bytes;
    };
    QByteArray bad;
    if (damage == "header only")
        bad = good.left(firstPage);
    else if (damage == "cut in the headers")
        bad = good.left(headers);
    else if (damage == "cut at a third")
        bad = good.left(good.size() / 3);
    else if (damage == "cut at two thirds")
        bad = good.left(good.size() * 2 / 3);
    else if (damage == "garbage after the first page header")
        bad = good.left(format == Xiph::Flac ? 8 : 27 + quint8(good[26])) + garbage(200000);
    else if (damage == "garbage after the headers")
        bad = good.left(headers) + garbage(200000);
    else if (damage == "a 1 GB comment length")
        bad = withCommentLengthsClaiming(format, good, 1u << 30);
    else if (damage == "a 4 GB comment length")
        bad = withCommentLengthsClaiming(format, good, 0xFFFFFFFFu);
    else if (damage == "bytes flipped") {
        bad = good;
        for (qsizetype i = firstPage; i < bad.size(); i += 997)
            bad[i] = char(~bad[i]);
    }
    QVERIFY(!bad.isEmpty());
    const QString path = m_dir.filePath(QStringLiteral("bad") + extensionOf(format));
    QVERIFY(writeFile(path, bad));

    const long before = peakKilobytes();
    QElapsedTimer clock;
    clock.start();
    const qint64 frames = useAsThePlayerWould(path);
    QVERIFY(frames != -2);
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(peakKilobytes() - before < 64 * 1024,
             qPrintable(QStringLiteral("%1 kB more").arg(peakKilobytes() - before)));
    // Never more than the good file holds.
    QVERIFY(frames <=
            decodeAll(m_dir.filePath(QStringLiteral("good") + extensionOf(format))).frames());
    // Cut short, it plays as far as it decodes (nothing, when no whole page of audio
    // is left), and its length is what it plays.
    if (damage.startsWith("cut at") && frames > 0) {
        PcmSource source;
        QVERIFY(source.open(path));
        QCOMPARE(source.lengthFrames(), std::int64_t(frames));
    }
    if (damage == "cut at two thirds")
        QVERIFY2(frames > 44100, "plays what is there");
    // A comment that claims more than the file holds is a broken header, which the
    // formats' own decoders refuse too (flac -d, oggdec, opusdec): skipped.
    if (damage.endsWith("comment length")) {
        QCOMPARE(frames, qint64(-1));
        QCOMPARE(referenceDecode(format, path).frames(), qsizetype(0));
    }
}

void TestXiphBadFiles::flacTotalsThatLie() {
    const QByteArray good = goodFile(Xiph::Flac);
    const qint64 real = decodeAll(m_dir.filePath("good.flac")).frames();
    QVERIFY(real > 2 * 44100);
    const QString path = m_dir.filePath("lying.flac");
    // Three times what it holds: the stream as it decodes counts when it plays.
    QVERIFY(writeFile(path, withFlacTotal(good, quint64(real) * 3)));
    PcmSource source;
    QVERIFY(source.open(path));
    QCOMPARE(source.lengthFrames(), std::int64_t(real));
    QCOMPARE(decodeAll(path).frames(), real);
    QVERIFY(!source.seekSeconds(5));
    QVERIFY(source.seekSeconds(2));
    // Fewer than it holds: as many as it states, as flac -d decodes it.
    QVERIFY(writeFile(path, withFlacTotal(good, 50000)));
    QCOMPARE(decodeAll(path).frames(), qint64(50000));
    QCOMPARE(referenceDecode(Xiph::Flac, path).frames(), qsizetype(50000));
    QCOMPARE(readFileInfo(path).TotalSec, 1);
    // None stated: counted.
    QVERIFY(writeFile(path, withFlacTotal(good, 0)));
    QVERIFY(source.open(path));
    QCOMPARE(source.lengthFrames(), std::int64_t(real));
    QCOMPARE(readFileInfo(path).TotalSec, 3);
    QCOMPARE(decodeAll(path).frames(), real);
}

void TestXiphBadFiles::emptyFilesOfEveryName() {
    for (const char* name : {"zero.flac", "zero.ogg", "zero.oga", "zero.opus"}) {
        const QString path = m_dir.filePath(name);
        QVERIFY(writeFile(path, {}));
        QCOMPARE(useAsThePlayerWould(path), qint64(-1));
        QCOMPARE(readFileInfo(path).TotalSec, 0);
        // Only the magic of each kind, and nothing after it.
        for (const QByteArray& magic :
             {QByteArray("fLaC"), QByteArray("OggS"), QByteArray("ID3")}) {
            QVERIFY(writeFile(path, magic));
            QCOMPARE(useAsThePlayerWould(path), qint64(-1));
        }
    }
}

QTEST_GUILESS_MAIN(TestXiphBadFiles)
#include "tst_xiph_badfiles.moc"
