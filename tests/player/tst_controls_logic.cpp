// The arithmetic of the volume and seek bars, the pressed moment of the skinned
// buttons and the key table, without a window.
#include "player/ButtonPress.h"
#include "player/SeekControl.h"
#include "player/VolumeControl.h"
#include "settings/Settings.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

using namespace pelto;

namespace {

// A volume bar 70 pixels high with a knob 10 pixels high: V = 900 twips.
constexpr int kTrack = 70 * 15;
constexpr int kKnob = 10 * 15;
constexpr int kRange = kTrack - kKnob;

struct VolumeFixture {
    Settings settings;
    VolumeControl volume{settings, nullptr};
    QSignalSpy knob{&volume, &VolumeControl::knobPlaced};
    QSignalSpy sent{&volume, &VolumeControl::volumeSet};
    explicit VolumeFixture(int track = kTrack, int knobHeight = kKnob) {
        volume.setBarGeometry(track, knobHeight);
    }
    double lastKnob() const { return knob.last().at(0).toDouble(); }
    int lastSent() const { return sent.last().at(0).toInt(); }
};

} // namespace

class TestControlsLogic : public QObject {
    Q_OBJECT
private slots:
    void volumeTableHoldsTheListedLevels() {
        const std::uint32_t expected[32] = {
            0x00000000, 0x10001000, 0x17771777, 0x20002000, 0x27772777, 0x30003000, 0x37773777,
            0x40004000, 0x47774777, 0x50005000, 0x57775777, 0x60006000, 0x67776777, 0x77707770,
            0x77777777, 0x80008000, 0x87778800, 0x90009000, 0x97779777, 0xA000A000, 0xA777A777,
            0xB000B000, 0xB777B777, 0xC000C000, 0xC777C777, 0xD000D000, 0xD777D777, 0xE000E000,
            0xE777E777, 0xF000F000, 0xF777F777, 0xFFFFFFFF};
        for (int step = 0; step < 32; ++step)
            QCOMPARE(volumeTableValue(step), expected[step]);
        // Step 16 is louder on the left (low half) than on the right.
        QCOMPARE(volumeTableValue(16) & 0xFFFF, 0x8800u);
        QCOMPARE(volumeTableValue(16) >> 16, 0x8777u);
        QCOMPARE(volumeTableValue(-3), 0u);
        QCOMPARE(volumeTableValue(40), 0xFFFFFFFFu);
    }

    void levelPicksTheSmallestStepAtOrAbove() {
        QCOMPARE(volumeStepForLevel(-0.5), 0);
        QCOMPARE(volumeStepForLevel(0.0), 0);
        QCOMPARE(volumeStepForLevel(1e-9), 1);
        for (int k = 1; k <= 31; ++k) {
            QCOMPARE(volumeStepForLevel(double(k) / 31), k);
            QCOMPARE(volumeStepForLevel(std::nextafter(double(k - 1) / 31, 2.0)), k);
        }
        QCOMPARE(volumeStepForLevel(1.0), 31);
        QCOMPARE(volumeStepForLevel(7.0), 31);
    }

    void applyVolumeKeepsEveryStepAndPlacesTheKnob() {
        VolumeFixture f;
        for (int step = 0; step <= 31; ++step) {
            f.settings.WavVolume = std::int16_t(step);
            f.volume.ApplyVolume();
            QCOMPARE(f.volume.WavVolume(), step);
            QCOMPARE(f.lastSent(), step);
            QCOMPARE(f.lastKnob(), double(31 - step) / 31 * kRange);
        }
        f.settings.WavVolume = 31;
        f.volume.ApplyVolume();
        QCOMPARE(f.lastKnob(), 0.0); // top
        f.settings.WavVolume = 0;
        f.volume.ApplyVolume();
        QCOMPARE(f.lastKnob(), double(kRange)); // bottom
    }

    void configuredStepOutsideTheRangeIsPulledIn() {
        VolumeFixture f;
        f.settings.WavVolume = 40;
        f.volume.ApplyVolume();
        QCOMPARE(f.volume.WavVolume(), 31);
        QCOMPARE(f.lastKnob(), 0.0);
        f.settings.WavVolume = -4;
        f.volume.ApplyVolume();
        QCOMPARE(f.volume.WavVolume(), 0);
        QCOMPARE(f.lastKnob(), double(kRange));
    }

    void arrowStepsStopAtBothEnds() {
        VolumeFixture f;
        f.volume.VolumeUp();
        QCOMPARE(f.volume.WavVolume(), 14);
        QCOMPARE(f.lastKnob(), 17.0 / 31 * kRange);
        f.settings.WavVolume = 31;
        f.volume.VolumeUp();
        QCOMPARE(f.volume.WavVolume(), 31);
        QCOMPARE(f.lastSent(), 31);
        f.settings.WavVolume = 0;
        f.volume.VolumeDown();
        QCOMPARE(f.volume.WavVolume(), 0);
        QCOMPARE(f.lastKnob(), double(kRange));
        f.volume.VolumeUp();
        QCOMPARE(f.volume.WavVolume(), 1);
    }

    void draggingTheVolumeKnobPinsItAndSetsTheStep() {
        VolumeFixture f;
        f.volume.mouseOnBar(Qt::LeftButton, -200);
        QCOMPARE(f.lastKnob(), 0.0);
        QCOMPARE(f.volume.WavVolume(), 31);
        f.volume.mouseOnBar(Qt::LeftButton, kRange + 500);
        QCOMPARE(f.lastKnob(), double(kRange));
        QCOMPARE(f.volume.WavVolume(), 0);
        // Halfway: 450 / 900 = 0.5 lies between 15/31 and 16/31.
        f.volume.mouseOnBar(Qt::LeftButton, kRange / 2);
        QCOMPARE(f.volume.WavVolume(), 16);
        // A fraction of a twip is rounded half to even: 900 - 449.5 = 450.5 -> 450.
        f.volume.mouseOnBar(Qt::LeftButton, 449.5);
        QCOMPARE(f.volume.WavVolume(), 16);
        // Two buttons are not the left button: the knob stays.
        const int placed = f.knob.count();
        f.volume.mouseOnBar(Qt::LeftButton | Qt::RightButton, 0);
        QCOMPARE(f.knob.count(), placed);
        QCOMPARE(f.volume.WavVolume(), 16);
    }

    void hoveringSetsTheSameStepAgain() {
        // With V = 900 the knob of step 16 sits 435.48 twips down, 464.52 from the
        // bottom; read back from the knob that rounds to 465, which is step 17.
        QCOMPARE(volumeStepForLevel(std::round(kRange * 16.0 / 31) / kRange), 17);
        VolumeFixture f;
        for (int step = 0; step <= 31; ++step) {
            f.settings.WavVolume = std::int16_t(step);
            f.volume.ApplyVolume();
            const int placed = f.knob.count();
            const int sent = f.sent.count();
            f.volume.mouseOnBar(Qt::NoButton, 13);
            f.volume.mouseOnBar(Qt::RightButton, 400);
            QCOMPARE(f.volume.WavVolume(), step);
            QCOMPARE(f.knob.count(), placed);
            QCOMPARE(f.sent.count(), sent + 2);
        }
        // After a drag, hovering keeps the dragged step.
        f.volume.mouseOnBar(Qt::LeftButton, 300);
        const int dragged = f.volume.WavVolume();
        f.volume.mouseOnBar(Qt::NoButton, 800);
        QCOMPARE(f.volume.WavVolume(), dragged);
    }

    void barWithoutTravelKeepsTheStep() {
        VolumeFixture f(kKnob, kKnob);
        f.volume.mouseOnBar(Qt::LeftButton, 5);
        QCOMPARE(f.volume.WavVolume(), 13);
        f.volume.ApplyVolume();
        QCOMPARE(f.lastKnob(), 0.0);
        QCOMPARE(f.volume.WavVolume(), 13);
    }

    void seekKnobFollowsThePointerBetweenTheEnds() {
        const int r = 4200;
        QCOMPARE(seekKnobOffsetAt(-30, r), 0.0);
        QCOMPARE(seekKnobOffsetAt(0, r), 0.0);
        QCOMPARE(seekKnobOffsetAt(1234.5, r), 1234.5);
        QCOMPARE(seekKnobOffsetAt(r, r), double(r));
        QCOMPARE(seekKnobOffsetAt(r + 900, r), double(r));
    }

    void seekTargetRoundsThenTruncates() {
        QCOMPARE(seekTargetSec(0, 200, 4200), 0);
        QCOMPARE(seekTargetSec(4200, 200, 4200), 200);
        // 4199 × 200 / 4200 = 199.95: truncated, not rounded.
        QCOMPARE(seekTargetSec(4199, 200, 4200), 199);
        // offset × length is rounded half to even before dividing:
        // 2.5 × 3 = 7.5 -> 8 -> 8 / 4 = 2; 2.25 × 3 = 6.75 -> 7 -> 1.
        QCOMPARE(seekTargetSec(2.5, 3, 4), 2);
        QCOMPARE(seekTargetSec(2.25, 3, 4), 1);
        // 6.5 rounds to 6 (even), which is below 7.
        QCOMPARE(seekTargetSec(6.5, 1, 7), 0);
        QCOMPARE(seekTargetSec(7, 1, 7), 1);
        // A song of length 0 seeks to 0; a bar without travel too.
        QCOMPARE(seekTargetSec(3000, 0, 4200), 0);
        QCOMPARE(seekTargetSec(0, 200, 0), 0);
        QCOMPARE(seekTargetSec(15, 200, -15), 0);
    }

    void pressedImageShowsFirstThenTheActionRuns() {
        ButtonPress buttons;
        QSignalSpy shown(&buttons, &ButtonPress::showPressed);
        QSignalSpy ended(&buttons, &ButtonPress::endPressed);
        QStringList log;
        connect(&buttons, &ButtonPress::endPressed, this,
                [&](int code) { log << QStringLiteral("end %1").arg(code); });
        QElapsedTimer clock;
        clock.start();
        qint64 actedAt = -1;
        int pressedDuringAction = 0;
        buttons.press(PlayButton, [&] {
            actedAt = clock.elapsed();
            pressedDuringAction = buttons.PressedButton();
            log << QStringLiteral("act");
        });
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.at(0).at(0).toInt(), int(PlayButton));
        QCOMPARE(buttons.PressedButton(), int(PlayButton));
        QCOMPARE(buttons.ButtonClickTimer().interval(), 80);
        QVERIFY(buttons.ButtonClickTimer().isActive());
        QVERIFY(log.isEmpty());
        QTRY_COMPARE(log.size(), 2);
        QCOMPARE(log, (QStringList{QStringLiteral("end 1"), QStringLiteral("act")}));
        QVERIFY(actedAt >= 80);
        QCOMPARE(pressedDuringAction, int(NoButton));
        QVERIFY(!buttons.ButtonClickTimer().isActive());
    }

    void pressesWithinTheMomentActInTheOrderGiven() {
        ButtonPress buttons;
        QSignalSpy ended(&buttons, &ButtonPress::endPressed);
        QStringList acted;
        buttons.press(StopButton, [&] { acted << QStringLiteral("stop"); });
        QTest::qWait(30);
        buttons.press(PlayButton, [&] { acted << QStringLiteral("play"); });
        QCOMPARE(buttons.PressedButton(), int(PlayButton));
        QTRY_COMPARE(acted.size(), 2);
        QCOMPARE(acted, (QStringList{QStringLiteral("stop"), QStringLiteral("play")}));
        // Both pressed images were taken down.
        QCOMPARE(ended.count(), 2);
        QCOMPARE(ended.at(0).at(0).toInt(), int(StopButton));
        QCOMPARE(ended.at(1).at(0).toInt(), int(PlayButton));
    }

    void plainPauseUsesTheSameTimer() {
        ButtonPress buttons;
        bool resumed = false;
        int chained = -2;
        buttons.pause(50, [&] {
            resumed = true;
            // A continuation may start the next moment at once.
            buttons.press(SaveListButton, [&] { chained = buttons.PressedButton(); });
        });
        QCOMPARE(buttons.PressedButton(), int(PlainPause));
        QCOMPARE(buttons.ButtonClickTimer().interval(), 50);
        QTRY_VERIFY(resumed);
        QCOMPARE(buttons.PressedButton(), int(SaveListButton));
        QTRY_COMPARE(chained, int(NoButton));
    }
};

QTEST_GUILESS_MAIN(TestControlsLogic)
#include "tst_controls_logic.moc"
