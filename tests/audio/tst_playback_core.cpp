// The playback core driven buffer by buffer, as an output thread drives it: what is
// heard when, where the song ends, and what pause and seek do to both. No device and
// no clock: before each buffer the test lets the decode thread get ahead, so every
// count is exact.
#include "AudioTestFiles.h"

#include "audio/Decoder.h"
#include "audio/PcmSource.h"
#include "audio/PlaybackCore.h"

#include <QtTest>

#include <memory>
#include <vector>

using namespace pelto;
using namespace pelto::test;

class TestPlaybackCore : public QObject {
    Q_OBJECT

private slots:
    void heardPositionTrailsByOneBufferAndEndsAfterTheLastSample();
    void pauseAndSeekKeepTheCountsExact();
};

namespace {

constexpr int kFrames = 1000;

std::unique_ptr<PcmSource> openFixture(const char* name) {
    auto source = std::make_unique<PcmSource>();
    return source->open(fixture(name)) ? std::move(source) : nullptr;
}

// The next buffer, as a device that never runs dry would take it.
void renderNext(PlaybackCore& core, std::vector<float>& buffer) {
    core.waitForDecoder();
    core.render(buffer.data(), kFrames);
}

} // namespace

void TestPlaybackCore::heardPositionTrailsByOneBufferAndEndsAfterTheLastSample() {
    const Decoded whole = decodeAll(fixture("wave_u8_mono.wav")); // 16537 frames
    PlaybackCore core;
    core.setSource(openFixture("wave_u8_mono.wav"));
    core.setVolume(0xFFFFFFFFu);
    core.start();
    std::vector<float> buffer(2 * kFrames);
    std::vector<float> heard;
    int position = -1;
    int buffers = 0;
    while (core.state(position) == PlayState::Playing) {
        renderNext(core, buffer);
        ++buffers;
        // When a buffer is asked for, the one before it has played.
        QCOMPARE(core.playedFrames(),
                 std::min<std::int64_t>((buffers - 1) * kFrames, std::int64_t(whole.frames())));
        heard.insert(heard.end(), buffer.begin(), buffer.end());
        QVERIFY(buffers < 100);
    }
    // 17 buffers hold the song, the 18th finds it over.
    QCOMPARE(buffers, int(whole.frames() / kFrames) + 2);
    QCOMPARE(position, 1);
    heard.resize(whole.samples.size());
    QVERIFY(heard == whole.samples);
    // After the end the core renders silence.
    renderNext(core, buffer);
    QCOMPARE(peak(buffer), 0.0f);
}

void TestPlaybackCore::pauseAndSeekKeepTheCountsExact() {
    PlaybackCore core;
    core.setSource(openFixture("wave_u8_mono.wav"));
    core.start();
    std::vector<float> buffer(2 * kFrames);
    renderNext(core, buffer);
    renderNext(core, buffer);
    core.pause();
    // The buffer in flight plays out; then the position holds and silence follows.
    renderNext(core, buffer);
    QCOMPARE(core.playedFrames(), 2 * kFrames);
    QCOMPARE(peak(buffer), 0.0f);
    renderNext(core, buffer);
    QCOMPARE(core.playedFrames(), 2 * kFrames);
    core.resume();
    renderNext(core, buffer);
    QVERIFY(peak(buffer) > 0.1f);
    renderNext(core, buffer);
    QCOMPARE(core.playedFrames(), 3 * kFrames);

    // A seek is the heard position at once, and the next buffer starts there.
    const Decoded whole = decodeAll(fixture("wave_u8_mono.wav"));
    core.seekSeconds(1);
    int position = 0;
    QCOMPARE(core.state(position), PlayState::Playing);
    QCOMPARE(position, 1);
    QCOMPARE(core.playedFrames(), std::int64_t(whole.rate));
    renderNext(core, buffer);
    QCOMPARE(buffer[0], whole.samples[size_t(2 * whole.rate)]);
    // Seeking while paused moves the position and stays paused.
    core.pause();
    core.seekSeconds(0);
    QCOMPARE(core.state(position), PlayState::Paused);
    QCOMPARE(core.playedFrames(), 0);
    // Past the end the song is over; a stopped core ignores seeks.
    core.seekSeconds(2);
    QCOMPARE(core.state(position), PlayState::Stopped);
    core.seekSeconds(0);
    QCOMPARE(core.state(position), PlayState::Stopped);
}

QTEST_GUILESS_MAIN(TestPlaybackCore)
#include "tst_playback_core.moc"
