// The row-facts cache over real files: rows it gives back are the rows reading the
// files makes, a file changed since it was kept is read again, and a cache file that
// is damaged, cut short or of another version is ignored and replaced.
#include "TestFiles.h"
#include "common/FileNames.h"
#include "playlist/RowFactsCache.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>

using namespace pelto;
using pelto::test::readFile;
using pelto::test::writeFile;

namespace {

const QStringList kMediaFolders = {QStringLiteral(PELTO_SOURCE_DIR "/tests/taginfo/fixtures/"),
                                   QStringLiteral(PELTO_SOURCE_DIR "/tests/audio/fixtures/")};

// Sets the file's modification time to `secondsAgo` before now (its status-change
// time becomes now, as any change makes it).
bool setModifiedAgo(const QString& path, qint64 secondsAgo) {
    timespec times[2] = {{0, UTIME_OMIT}, {0, 0}};
    ::clock_gettime(CLOCK_REALTIME, &times[1]);
    times[1].tv_sec -= secondsAgo;
    return ::utimensat(AT_FDCWD, encodeFileName(path).constData(), times, 0) == 0;
}

QStringList cellsOf(const PlaylistRow& row) {
    return {row.title, row.artist, row.length, row.path};
}

// A cache over the real reader that counts the files it reads.
struct CountingCache {
    std::atomic<int> reads = 0;
    RowFactsCache cache;
    explicit CountingCache(qsizetype maxEntries = RowFactsCache::kMaxEntries)
        : cache(
              [this](const QString& path) {
                  ++reads;
                  return makePlaylistRow(path);
              },
              maxEntries) {}
};

} // namespace

class TestRowFactsCache : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cachedRowsAreReadRows_data();
    void cachedRowsAreReadRows();
    void changedFilesAreReadAgain_data();
    void changedFilesAreReadAgain();
    void unusableCacheFilesAreIgnored_data();
    void unusableCacheFilesAreIgnored();
    void keepsTheRecentlyUsedUpToTheBound();

private:
    // A copy of the media file in a folder of the test's own, last changed an hour ago.
    QString settledCopy(const QString& source, const QString& name = {});
    // A settled copy of the file, read through a fresh cache which is then saved; its
    // path, empty when that failed.
    QString cachedCopy(const QString& source, const QString& name = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_cacheFile;
};

void TestRowFactsCache::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_cacheFile = RowFactsCache::fileIn(m_dir->path() + '/');
}

QString TestRowFactsCache::settledCopy(const QString& source, const QString& name) {
    // Written under a plain name and renamed with the name's bytes, which Qt would
    // change.
    const QString plain = m_dir->filePath(QFileInfo(source).fileName());
    const QString copy = name.isEmpty() ? plain : m_dir->filePath(name);
    if (!writeFile(plain, readFile(source)) ||
        ::rename(encodeFileName(plain).constData(), encodeFileName(copy).constData()) != 0 ||
        !setModifiedAgo(copy, 3600))
        return {};
    return copy;
}

QString TestRowFactsCache::cachedCopy(const QString& source, const QString& name) {
    const QString path = settledCopy(source, name);
    RowFactsCache cache;
    if (path.isEmpty() || cache.row(path).path != path || !cache.save(m_cacheFile))
        return {};
    return path;
}

void TestRowFactsCache::cachedRowsAreReadRows_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("name");
    for (const QString& folder : kMediaFolders)
        for (const QString& file :
             QDir(folder).entryList({"*.mp?", "*.rmp", "*.wav"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(file)) << folder + file << QString();
    // A name that is not UTF-8 (Latin-1 "é") is kept with its bytes.
    QTest::newRow("name not UTF-8")
        << kMediaFolders[0] + "id3v1_sjis.mp3" << decodeFileName("caf\xE9.mp3");
}

void TestRowFactsCache::cachedRowsAreReadRows() {
    QFETCH(QString, source);
    QFETCH(QString, name);
    const QString path = cachedCopy(source, name);
    QVERIFY(!path.isEmpty());
    const PlaylistRow read = makePlaylistRow(path);
    CountingCache next;
    QVERIFY(next.cache.load(m_cacheFile));
    QCOMPARE(cellsOf(next.cache.row(path)), cellsOf(read));
    QCOMPARE(cellsOf(next.cache.row(path)), cellsOf(read));
    QCOMPARE(next.reads, 0);
    QVERIFY(::unlink(encodeFileName(path).constData()) == 0);
}

void TestRowFactsCache::changedFilesAreReadAgain_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("touched") << "touch";
    QTest::newRow("rewritten in place, time kept") << "rewrite";
    QTest::newRow("replaced by another of the same size and time") << "replace";
    QTest::newRow("changed a moment ago") << "fresh";
}

void TestRowFactsCache::changedFilesAreReadAgain() {
    QFETCH(QString, change);
    const QString path = cachedCopy(kMediaFolders[0] + "id3v1_sjis.mp3");
    QVERIFY(!path.isEmpty());
    const PlaylistRow before = makePlaylistRow(path);
    const qint64 modified = fileStampOf(path)->modifiedNs;
    const auto keepModified = [&](const QString& file) {
        const timespec t{time_t(modified / 1'000'000'000), long(modified % 1'000'000'000)};
        const timespec times[2] = {{0, UTIME_OMIT}, t};
        return ::utimensat(AT_FDCWD, encodeFileName(file).constData(), times, 0) == 0;
    };

    // The file system's clock ticks every few milliseconds: let it move on, so that
    // the change gives the file a status-change time of its own.
    QTest::qSleep(20);
    QByteArray bytes = readFile(path);
    if (change == "touch") {
        QVERIFY(setModifiedAgo(path, 1800));
    } else if (change == "rewrite") {
        QVERIFY(writeFile(path, bytes));
        QVERIFY(keepModified(path));
    } else if (change == "replace") {
        // The version 1 tag's title (its last 128 bytes, after "TAG") says another
        // name; the new file is renamed over the old one with the old time, as a copy
        // that keeps times would leave it.
        bytes[bytes.size() - 125] = 'X';
        const QString other = m_dir->filePath("other.tmp");
        QVERIFY(writeFile(other, bytes));
        QVERIFY(keepModified(other));
        QVERIFY(QFile::remove(path) && QFile::rename(other, path));
    } else {
        QVERIFY(writeFile(path, bytes));
    }

    CountingCache next;
    QVERIFY(next.cache.load(m_cacheFile));
    const PlaylistRow after = next.cache.row(path);
    QCOMPARE(next.reads, 1);
    QCOMPARE(cellsOf(after), cellsOf(makePlaylistRow(path)));
    QCOMPARE(after.title == before.title, change != "replace");
    // What was read again is kept, unless the file may still be changing.
    next.cache.row(path);
    QCOMPARE(next.reads, change == "fresh" ? 2 : 1);
}

void TestRowFactsCache::unusableCacheFilesAreIgnored_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("a byte changed") << "flip";
    QTest::newRow("cut short") << "cut";
    QTest::newRow("another format version") << "version";
    QTest::newRow("another file's bytes") << "text";
    QTest::newRow("empty") << "empty";
}

void TestRowFactsCache::unusableCacheFilesAreIgnored() {
    QFETCH(QString, damage);
    const QString path = cachedCopy(kMediaFolders[0] + "lame_utf16.mp3");
    QVERIFY(!path.isEmpty());
    QByteArray bytes = readFile(m_cacheFile);
    if (damage == "flip")
        bytes[bytes.size() - 10] = char(bytes[bytes.size() - 10] ^ 0x20);
    else if (damage == "cut")
        bytes.chop(bytes.size() / 2);
    else if (damage == "version")
        bytes[11] = char(bytes[11] + 1);
    else if (damage == "text")
        bytes = "#EXTM3U\r\n" + path.toUtf8() + "\r\n";
    else
        bytes.clear();
    QVERIFY(writeFile(m_cacheFile, bytes));

    CountingCache next;
    QVERIFY(!next.cache.load(m_cacheFile));
    QCOMPARE(next.cache.size(), 0);
    QCOMPARE(cellsOf(next.cache.row(path)), cellsOf(makePlaylistRow(path)));
    QCOMPARE(next.reads, 1);
    // The next save replaces the unusable file with a good one.
    QVERIFY(next.cache.save(m_cacheFile));
    CountingCache last;
    QVERIFY(last.cache.load(m_cacheFile));
    QCOMPARE(last.cache.size(), 1);
}

void TestRowFactsCache::keepsTheRecentlyUsedUpToTheBound() {
    QStringList paths;
    for (const char* name : {"plain.mp3", "v22.mp3", "ext23.mp3", "unsync24.mp3"})
        paths << settledCopy(kMediaFolders[0] + QLatin1String(name));
    QVERIFY(!paths.contains(QString()));
    // Run 1 reads a, b, c; run 2 uses c and reads d; with room for three, a or b goes.
    CountingCache run1(3);
    for (int i = 0; i < 3; ++i)
        run1.cache.row(paths[i]);
    QVERIFY(run1.cache.save(m_cacheFile));
    CountingCache run2(3);
    QVERIFY(run2.cache.load(m_cacheFile));
    run2.cache.row(paths[2]);
    run2.cache.row(paths[3]);
    QCOMPARE(run2.reads, 1);
    QVERIFY(run2.cache.save(m_cacheFile));

    CountingCache run3(3);
    QVERIFY(run3.cache.load(m_cacheFile));
    QCOMPARE(run3.cache.size(), 3);
    run3.cache.row(paths[2]);
    run3.cache.row(paths[3]);
    QCOMPARE(run3.reads, 0);
    // Nothing changed: the file is left as it is.
    const QDateTime written = QFileInfo(m_cacheFile).lastModified();
    QVERIFY(run3.cache.save(m_cacheFile));
    QCOMPARE(QFileInfo(m_cacheFile).lastModified(), written);
}

QTEST_GUILESS_MAIN(TestRowFactsCache)
#include "tst_row_facts_cache.moc"
