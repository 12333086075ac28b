// Songs that follow each other join without a gap: the player over the real engine
// plays into SDL's disk driver, and what the device was handed is exactly every
// song's own decode, one after the other. The controls keep their meaning near a
// join: every song says in each sample which song and which second it is, so the
// order of what was heard shows every seek, stop, skip and list change.
#include "AudioTestFiles.h"
#include "ControlsRig.h"

#include "playlist/PlaylistModel.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <cmath>
#include <functional>
#include <vector>

using namespace pelto;
using namespace pelto::test;

namespace {

constexpr int kNoiseRate = 44100;

// A continuous noise without a zero sample, cut into pieces of `frames` each.
std::vector<std::vector<qint16>> noisePieces(const std::vector<qint64>& frames) {
    std::uint32_t state = 12345;
    std::vector<std::vector<qint16>> pieces;
    for (qint64 n : frames) {
        std::vector<qint16> piece(size_t(2 * n));
        for (qint16& sample : piece) {
            state = state * 1664525u + 1013904223u;
            const int value = int(state >> 16) % 24000 - 12000;
            sample = qint16(value == 0 ? 1 : value);
        }
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

// lame's default output carries the encoder delay and padding in its header.
bool encodeMp3(const QString& wave, const QString& mp3) {
    QProcess lame;
    lame.start("lame", {"--quiet", "-b", "160", wave, mp3});
    return lame.waitForFinished(60000) && lame.exitCode() == 0;
}

// What the player announced, in order.
struct Announcements {
    QStringList events;
    void follow(Player& player) {
        QObject::connect(&player, &Player::playStateChanged,
                         [this](PlayState s) { events << QString("state %1").arg(int(s)); });
        QObject::connect(&player, &Player::currentRowChanged,
                         [this](int row) { events << QString("row %1").arg(row); });
        QObject::connect(&player, &Player::songOpened, [this] { events << "opened"; });
        QObject::connect(&player, &Player::songStarted, [this](int row, const QString&) {
            events << QString("started %1").arg(row);
        });
    }
};

// The songs of the controls' table: 3 s at 8 kHz, every sample of song s in second k
// at the level levelOf(s, k).
constexpr int kSongRate = 8000;
constexpr int kSongSeconds = 3;
qint16 levelOf(int song, int second) {
    return qint16((song * 4 + second + 1) * 512);
}

// The heard frames as tokens: "A0" for song A's first second, runs of one token
// merged; "_" where silent frames come between two sounds.
QString heardTokens(const std::vector<PlayedFrame>& frames) {
    QStringList tokens;
    bool silence = false;
    for (const PlayedFrame& f : frames) {
        if (f.left == 0.0f) {
            silence = !tokens.isEmpty();
            continue;
        }
        const int k = int(std::lround(f.left * 32768.0f / 512.0f)) - 1;
        const QString token = QString("%1%2").arg(QChar('A' + k / 4)).arg(k % 4);
        if (silence)
            tokens << "_";
        silence = false;
        if (tokens.isEmpty() || tokens.last() != token)
            tokens << token;
    }
    return tokens.join(' ');
}

// Whether the heard tokens fit the expected ones, where "~" allows a gap (or none).
bool fits(const QString& heard, const QString& expected) {
    QStringList want = expected.split(' ');
    QStringList got = heard.split(' ');
    int g = 0;
    for (const QString& w : want) {
        if (w == "~") {
            if (g < got.size() && got[g] == "_")
                ++g;
            continue;
        }
        if (g >= got.size() || got[g] != w)
            return false;
        ++g;
    }
    return g == got.size();
}

} // namespace

class TestGaplessJoins : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_out;
    QStringList m_songs; // A, B, C at 8 kHz; D at 11025 Hz; E does not play

    // Waits until `ready`, at most `ms`; false on the timeout.
    static bool waitFor(const std::function<bool()>& ready, int ms = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (!ready()) {
            if (clock.elapsed() > ms)
                return false;
            QTest::qWait(2);
        }
        return true;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_out = m_dir.filePath("played.raw");
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", m_out.toLocal8Bit());
        for (int s = 0; s < 4; ++s) {
            const QString path = m_dir.filePath(QString("%1.wav").arg(QChar('A' + s)));
            QVERIFY(writeTestWave(path, s == 3 ? 11025 : kSongRate, 2, kSongSeconds,
                                  [s](int second) { return levelOf(s, second); }));
            m_songs << path;
        }
        m_songs << m_dir.filePath("E.wav");
        QVERIFY(writeFile(m_songs.last(), QByteArray(20000, 'x')));
    }

    void joinsPlayEveryFrameOfEverySong_data() {
        QTest::addColumn<QStringList>("kinds");
        QTest::newRow("two Wave") << QStringList{"wav", "wav"};
        QTest::newRow("two MP3") << QStringList{"mp3", "mp3"};
        QTest::newRow("Wave then MP3") << QStringList{"wav", "mp3"};
        QTest::newRow("three Wave") << QStringList{"wav", "wav", "wav"};
        QTest::newRow("three MP3") << QStringList{"mp3", "mp3", "mp3"};
    }

    // Pieces of one continuous recording, as an album encoded track by track: what
    // the device is handed is every file's own decode (libmpg123's gapless decode
    // for MP3, without the encoder's delay and padding), joined frame for frame.
    void joinsPlayEveryFrameOfEverySong() {
        QFETCH(QStringList, kinds);
        // About twice real time: fast, with the player's 100 ms tick still well
        // inside a song.
        qputenv("SDL_DISKAUDIODELAY", "12");
        std::vector<qint64> lengths;
        for (int i = 0; i < kinds.size(); ++i)
            lengths.push_back(qint64(kNoiseRate * 3.5) + 37 * i); // not whole buffers
        const auto pieces = noisePieces(lengths);
        QStringList files;
        std::vector<float> expected;
        for (int i = 0; i < kinds.size(); ++i) {
            const QString wave = m_dir.filePath(QString("piece%1.wav").arg(i));
            QVERIFY(writeWaveSamples(wave, kNoiseRate, 2, pieces[size_t(i)]));
            QString file = wave;
            if (kinds[i] == "mp3") {
                file = m_dir.filePath(QString("piece%1.mp3").arg(i));
                if (!encodeMp3(wave, file))
                    QSKIP("lame cannot encode here");
            }
            const Decoded decoded = decodeAll(file);
            QVERIFY(decoded.frames() > 0);
            expected.insert(expected.end(), decoded.samples.begin(), decoded.samples.end());
            files << file;
        }

        Announcements heard;
        {
            ControlsRig rig;
            rig.logic.volume.setStep(31); // gains of exactly 1
            rig.addRows(files);
            heard.follow(rig.player);
            rig.commands.playRow(1);
            QVERIFY(waitFor([&] { return rig.player.PlayState() == PlayState::Stopped; }));
            QCOMPARE(rig.row(), int(files.size()));
            QCOMPARE(rig.playlist.count(), int(files.size()));
        }
        // At each join the row moves on and the song starts, as at any song's end.
        QStringList events{"opened", "state 1", "started 1"}; // row 1 was current already
        for (int row = 2; row <= files.size(); ++row)
            events << "state 0" << QString("row %1").arg(row) << "opened"
                   << "state 1" << QString("started %1").arg(row);
        events << "state 0";
        QCOMPARE(heard.events.join(", "), events.join(", "));

        std::vector<float> played = floatsOf(readFile(m_out));
        const size_t lead =
            leadingSilence(played) - std::min(leadingSilence(played), leadingSilence(expected));
        played.erase(played.begin(), played.begin() + std::ptrdiff_t(lead));
        QVERIFY(played.size() >= expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            if (played[i] != expected[i])
                QFAIL(qPrintable(
                    QString("frame %1 of %2 differs").arg(i / 2).arg(expected.size() / 2)));
        for (size_t i = expected.size(); i < played.size(); ++i)
            QCOMPARE(played[i], 0.0f);
    }

    void controlsKeepTheirMeaningNearAJoin_data() {
        QTest::addColumn<QString>("rows");   // the playlist, by song letter
        QTest::addColumn<int>("firstRow");   // the row played first
        QTest::addColumn<bool>("repeat");    // the repeat switch at the start
        QTest::addColumn<QString>("moment"); // "A last": in song A's last second;
                                             // "B joined": just after the join into B
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected"); // heard; "~" a gap allowed
        QTest::addColumn<int>("endRow");
        QTest::addColumn<int>("endState");
        const QString all = "A0 A1 A2 B0 B1 B2 C0 C1 C2";
        QTest::newRow("nothing") << "ABC" << 1 << false << ""
                                 << "" << all << 3 << 0;
        QTest::newRow("seek back, last second") << "ABC" << 1 << false << "A last"
                                                << "seek 1"
                                                << "A0 A1 A2 A1 A2 B0 B1 B2 C0 C1 C2" << 3 << 0;
        QTest::newRow("seek, after the join") << "ABC" << 1 << false << "B joined"
                                              << "seek 2"
                                              << "A0 A1 A2 B0 B2 C0 C1 C2" << 3 << 0;
        QTest::newRow("stop, last second") << "ABC" << 1 << false << "A last"
                                           << "stop"
                                           << "A0 A1 A2" << 1 << 0;
        QTest::newRow("stop, after the join") << "ABC" << 1 << false << "B joined"
                                              << "stop"
                                              << "A0 A1 A2 B0" << 2 << 0;
        QTest::newRow("pause, last second") << "ABC" << 1 << false << "A last"
                                            << "pause"
                                            << "A0 A1 A2 _ A2 B0 B1 B2 C0 C1 C2" << 3 << 0;
        QTest::newRow("next, last second") << "ABC" << 1 << false << "A last"
                                           << "next"
                                           << "A0 A1 A2 ~ B0 B1 B2 C0 C1 C2" << 3 << 0;
        QTest::newRow("next, after the join") << "ABC" << 1 << false << "B joined"
                                              << "next"
                                              << "A0 A1 A2 B0 ~ C0 C1 C2" << 3 << 0;
        QTest::newRow("back, last second") << "ABC" << 2 << false << "B last"
                                           << "back"
                                           << "B0 B1 B2 ~ A0 A1 A2 B0 B1 B2 C0 C1 C2" << 3 << 0;
        QTest::newRow("back, after the join")
            << "ABC" << 1 << false << "B joined"
            << "back"
            << "A0 A1 A2 B0 ~ A0 A1 A2 B0 B1 B2 C0 C1 C2" << 3 << 0;
        QTest::newRow("another row, last second") << "ABC" << 1 << false << "A last"
                                                  << "play 3"
                                                  << "A0 A1 A2 ~ C0 C1 C2" << 3 << 0;
        QTest::newRow("next row deleted, last second") << "ABC" << 1 << false << "A last"
                                                       << "delete 2"
                                                       << "A0 A1 A2 ~ C0 C1 C2" << 2 << 0;
        QTest::newRow("following row deleted, after the join") << "ABC" << 1 << false << "B joined"
                                                               << "delete 3"
                                                               << "A0 A1 A2 B0 B1 B2" << 2 << 0;
        QTest::newRow("next row moved, last second") << "ABC" << 1 << false << "A last"
                                                     << "swap 2 3"
                                                     << "A0 A1 A2 ~ C0 C1 C2 B0 B1 B2" << 3 << 0;
        QTest::newRow("list emptied, last second") << "ABC" << 1 << false << "A last"
                                                   << "clear"
                                                   << "A0 A1 A2" << 1 << 0;
        QTest::newRow("repeat on, last row") << "AB" << 2 << false << "B last"
                                             << "repeat on"
                                             << "B0 B1 B2 ~ A0 A1 A2 B0 B1 B2" << 2 << 0;
        QTest::newRow("repeat off, last row") << "AB" << 2 << true << "B last"
                                              << "repeat off"
                                              << "B0 B1 B2" << 2 << 0;
        QTest::newRow("next file does not play") << "AEC" << 1 << false << ""
                                                 << ""
                                                 << "A0 A1 A2 ~ C0 C1 C2" << 3 << 0;
        // The device opens anew at the other rate, and the driver starts its file
        // again: what it holds is the join of the two songs at that rate.
        QTest::newRow("another rate") << "ADD" << 1 << false << ""
                                      << ""
                                      << "D0 D1 D2 D0 D1 D2" << 3 << 0;
    }

    void controlsKeepTheirMeaningNearAJoin() {
        QFETCH(QString, rows);
        QFETCH(int, firstRow);
        QFETCH(bool, repeat);
        QFETCH(QString, moment);
        QFETCH(QString, action);
        QFETCH(QString, expected);
        QFETCH(int, endRow);
        QFETCH(int, endState);
        // 32 ms buffers: twice real time, which leaves the player's tick 0.4 s to name
        // the file after the next before the decoder needs it, on a loaded machine too.
        qputenv("SDL_DISKAUDIODELAY", "16");
        QFile::remove(m_out);
        {
            ControlsRig rig;
            rig.logic.volume.setStep(31);
            QStringList paths;
            for (QChar c : rows)
                paths << m_songs[c.unicode() - 'A'];
            rig.addRows(paths);
            rig.player.setRepeat(repeat);
            rig.commands.playRow(firstRow);
            if (!moment.isEmpty()) {
                const int row = moment[0].unicode() - 'A' + 1; // the songs are in row order
                const bool joined = moment.endsWith("joined");
                QVERIFY(waitFor([&] {
                    return rig.row() == row && (joined || rig.player.playedMilliseconds() >= 2500);
                }));
                const QStringList words = action.split(' ');
                if (words[0] == "seek") {
                    rig.player.seek(words[1].toInt());
                } else if (words[0] == "stop") {
                    rig.commands.run(Command::PlayStop);
                } else if (words[0] == "pause") {
                    rig.commands.run(Command::PlayPause);
                    QTest::qWait(100);
                    rig.commands.run(Command::PlayPause);
                } else if (words[0] == "next") {
                    rig.commands.run(Command::PlayNextSound);
                } else if (words[0] == "back") {
                    rig.commands.run(Command::PlayBackSound);
                } else if (words[0] == "play") {
                    rig.commands.playRow(words[1].toInt());
                } else if (words[0] == "delete") {
                    std::vector<bool> flags(size_t(rig.playlist.count()), false);
                    flags[size_t(words[1].toInt() - 1)] = true;
                    rig.playlist.removeFlaggedRows(flags);
                } else if (words[0] == "swap") {
                    std::vector<int> order{0, 1, 2};
                    std::swap(order[size_t(words[1].toInt() - 1)],
                              order[size_t(words[2].toInt() - 1)]);
                    rig.playlist.reorder(order, PlaylistModel::Reorder::Cells);
                } else if (words[0] == "clear") {
                    rig.playlist.clear();
                } else if (words[0] == "repeat") {
                    rig.player.setRepeat(words[1] == "on");
                    if (words[1] == "on") {
                        // Off again once row 1 plays: row 2's end then ends it all.
                        QVERIFY(waitFor([&] { return rig.row() == 1; }));
                        rig.player.setRepeat(false);
                    }
                }
            }
            QVERIFY(waitFor([&] { return rig.player.PlayState() == PlayState::Stopped; }));
            QTest::qWait(100);
            QCOMPARE(rig.row(), endRow);
            QCOMPARE(int(rig.player.PlayState()), endState);
        }
        const QString heard = heardTokens(framesOf(m_out));
        QVERIFY2(fits(heard, expected), qPrintable("heard: " + heard));
    }
};

QTEST_MAIN(TestGaplessJoins)
#include "tst_gapless_joins.moc"
