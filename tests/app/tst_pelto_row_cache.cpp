// The real program keeps the rows its files made: a second start shows the same rows
// as the first without reading a file again.
#include "PeltoCopies.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

class TestPeltoRowCache : public QObject {
    Q_OBJECT
private slots:
    void secondStartShowsTheSameRowsFromTheCache() {
        PeltoCopies copies;
        // The tagged media, last changed an hour ago (a file that changed a moment ago
        // is not kept), listed in Pelto.m3u.
        QByteArray list;
        const timespec hourAgo[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
        for (const char* folder : {"/tests/taginfo/fixtures/", "/tests/audio/fixtures/"}) {
            const QDir media(QStringLiteral(PELTO_SOURCE_DIR) + QLatin1String(folder));
            for (const QString& name : media.entryList({"*.mp?", "*.rmp", "*.wav"}, QDir::Files)) {
                const QString copy = copies.file(name);
                QVERIFY(QFile::copy(media.filePath(name), copy));
                QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(copy), hourAgo, 0), 0);
                list += name.toUtf8() + "\r\n";
            }
        }
        QVERIFY(list.count('\n') > 20);
        QFile m3u(copies.file("Pelto.m3u"));
        QVERIFY(m3u.open(QIODevice::WriteOnly) && m3u.write(list) == list.size());
        m3u.close();
        const QString cache = copies.file("Pelto.rowcache");

        const auto startAndEnd = [&] {
            QFile::remove(copies.statePath());
            QProcess* pelto = copies.start({}, copies.env());
            const PeltoState state = copies.waitForState(0);
            pelto->terminate();
            [&] { QVERIFY(pelto->waitForFinished(10000)); }();
            return state;
        };
        const PeltoState first = startAndEnd();
        QCOMPARE(first.cells.size(), list.count('\n'));
        QCOMPARE(first.cells[0].size(), 3);
        QVERIFY(QFile::exists(cache));
        const QByteArray kept = [&] {
            QFile f(cache);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const QDateTime written = QFileInfo(cache).lastModified();

        const PeltoState second = startAndEnd();
        QCOMPARE(second.rows, first.rows);
        QCOMPARE(second.cells, first.cells);
        // No file was read again: a row read again would have been kept, and the cache
        // written anew.
        QCOMPARE(QFileInfo(cache).lastModified(), written);
        QFile f(cache);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), kept);
    }
};

QTEST_GUILESS_MAIN(TestPeltoRowCache)
#include "tst_pelto_row_cache.moc"
