// A volume change by key is heard: SDL's disk driver captures what the engine plays,
// and the samples after the key carry the new step's channel gains.
#include "ControlsRig.h"

#include "player/VolumeControl.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace pelto;
using namespace pelto::test;

namespace {

float leftGain(int step) {
    return float(volumeTableValue(step) & 0xFFFF) / 65535.0f;
}
float rightGain(int step) {
    return float(volumeTableValue(step) >> 16) / 65535.0f;
}

// The volume step whose gains a played frame carries, -1 when none does.
int stepOfFrame(float left, float right) {
    for (int step = 0; step <= 31; ++step) {
        if (std::abs(std::abs(left) - kSongLevel * leftGain(step)) < 1e-5f &&
            std::abs(std::abs(right) - kSongLevel * rightGain(step)) < 1e-5f)
            return step;
    }
    return -1;
}

} // namespace

class TestControlsHeard : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", m_dir.filePath("played.raw").toLocal8Bit());
        // One 32 ms buffer every 8 ms: four times real time.
        qputenv("SDL_DISKAUDIODELAY", "8");
    }

    void volumeKeysChangeTheGainsOfWhatIsPlayed() {
        const QString song = m_dir.filePath("song.wav");
        QVERIFY(writeSquareWave(song, 4));
        std::vector<int> steps;
        {
            ControlsRig rig;
            rig.addRows({song});
            QCOMPARE(rig.logic.volume.WavVolume(), 13);
            QTest::keyClick(&rig.window, Qt::Key_X);
            QCOMPARE(rig.player.PlayState(), PlayState::Playing);
            QTest::qWait(250);
            // Up three times: 13 -> 16, the step that is louder on the left.
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(&rig.window, Qt::Key_Up);
            QCOMPARE(rig.logic.volume.WavVolume(), 16);
            QTRY_COMPARE_WITH_TIMEOUT(rig.player.PlayState(), PlayState::Stopped, 15000);
        }
        QFile raw(m_dir.filePath("played.raw"));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        std::vector<float> samples(size_t(bytes.size()) / sizeof(float));
        std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));

        int silent = 0;
        for (size_t i = 0; i + 1 < samples.size(); i += 2) {
            if (samples[i] == 0.0f && samples[i + 1] == 0.0f) {
                ++silent;
                continue;
            }
            const int step = stepOfFrame(samples[i], samples[i + 1]);
            if (step < 0)
                QFAIL(qPrintable(QStringLiteral("frame %1 carries no step's gains").arg(i / 2)));
            steps.push_back(step);
        }
        // The whole song was played, first at step 13, then (after the keys) at 16,
        // never going back.
        QCOMPARE(int(steps.size()), 4 * 8000);
        QCOMPARE(steps.front(), 13);
        QCOMPARE(steps.back(), 16);
        for (size_t i = 1; i < steps.size(); ++i)
            QVERIFY(steps[i] >= steps[i - 1]);
        const auto at13 = std::count(steps.begin(), steps.end(), 13);
        const auto at16 = std::count(steps.begin(), steps.end(), 16);
        QVERIFY2(at13 > 1000 && at16 > 1000,
                 qPrintable(QStringLiteral("%1 frames at 13, %2 at 16").arg(at13).arg(at16)));
        QVERIFY(leftGain(16) > rightGain(16));
    }
};

QTEST_MAIN(TestControlsHeard)
#include "tst_controls_heard.moc"
