// The bars, buttons and keys on the real main window (offscreen) over the real audio
// engine (SDL's dummy driver plays in real time into nothing).
#include "ControlsRig.h"

#include "common/Twips.h"
#include "player/SkinWidgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QtTest>

using namespace pelto;
using namespace pelto::test;

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

// What the engine says now (PlayState holds what the player last read).
PlayState engineState(ControlsRig& rig) {
    int position = 0;
    return rig.player.decoder()->state(position);
}

QString nowTime(const ControlsRig& rig) {
    return rig.window.textBox(SkinElement::NowTime)->text();
}

} // namespace

class TestControlsWindow : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_short, m_long, m_third;

    ControlsRig* m_rig = nullptr;
    ControlsRig& rig() { return *m_rig; }

    // Plays row n and waits until the engine reports it playing.
    void playRow(int n) {
        rig().playlist.setPlayListTrNum(n);
        rig().player.Play();
        QCOMPARE(rig().player.PlayState(), PlayState::Playing);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_short = m_dir.filePath("short.wav");
        m_long = m_dir.filePath("long.wav");
        m_third = m_dir.filePath("third.wav");
        QVERIFY(writeSquareWave(m_short, 3));
        QVERIFY(writeSquareWave(m_long, 20));
        QVERIFY(writeSquareWave(m_third, 20));
    }
    void init() { m_rig = new ControlsRig; }
    void cleanup() {
        delete m_rig;
        m_rig = nullptr;
    }

    void buttonsShowThePressedImageBeforeTheyAct() {
        rig().addRows({m_long, m_third, m_short});
        QWidget* play2 = rig().element(SkinElement::Play2Skin);
        QVERIFY(!play2->isVisible());
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(rig().element(SkinElement::PlaySkin), Qt::LeftButton);
        QVERIFY(play2->isVisible());
        QCOMPARE(rig().logic.buttons.PressedButton(), int(PlayButton));
        QCOMPARE(rig().player.PlayState(), PlayState::Stopped);
        QTRY_COMPARE(rig().player.PlayState(), PlayState::Playing);
        QVERIFY(clock.elapsed() >= 80);
        QVERIFY(!play2->isVisible());
        QCOMPARE(rig().logic.buttons.PressedButton(), int(NoButton));
        QCOMPARE(rig().player.DmyFileName(), m_long);

        const struct {
            SkinElement button;
            SkinElement pressed;
            int row;
            PlayState state;
        } steps[] = {
            {SkinElement::NextSkin, SkinElement::Next2Skin, 2, PlayState::Playing},
            {SkinElement::PauseSkin, SkinElement::Pause2Skin, 2, PlayState::Paused},
            {SkinElement::PauseSkin, SkinElement::Pause2Skin, 2, PlayState::Playing},
            {SkinElement::BackSkin, SkinElement::Back2Skin, 1, PlayState::Playing},
            {SkinElement::StopSkin, SkinElement::Stop2Skin, 1, PlayState::Stopped},
        };
        for (const auto& s : steps) {
            const PlayState stateBefore = rig().player.PlayState();
            QTest::mouseClick(rig().element(s.button), Qt::LeftButton);
            QVERIFY(rig().element(s.pressed)->isVisible());
            QCOMPARE(rig().player.PlayState(), stateBefore);
            QTRY_VERIFY(!rig().element(s.pressed)->isVisible());
            QCOMPARE(rig().row(), s.row);
            QCOMPARE(engineState(rig()), s.state);
        }
        QCOMPARE(rig().player.StopRequested(), std::int16_t(-1));
    }

    void playWithAnEmptyPlaylistOpensTheFileDialog() {
        QString title;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                title = dialog->windowTitle();
                QMetaObject::invokeMethod(dialog, "reject");
            }
        });
        poll.start(20);
        QTest::mouseClick(rig().element(SkinElement::PlaySkin), Qt::LeftButton);
        QTRY_COMPARE(title, QStringLiteral("ファイルを開く"));
        QCOMPARE(rig().playlist.count(), 0);
        QCOMPARE(rig().player.PlayState(), PlayState::Stopped);
    }

    void addKeyAppendsTheChosenFilesAfterAPause() {
        rig().addRows({m_third});
        playRow(1);
        QString title;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) {
                // Anything else (a complaint about the choice) would wait forever.
                if (modal)
                    modal->close();
                return;
            }
            title = dialog->windowTitle();
            // Typed as the user would; choosing in the listing depends on the
            // dialog's background folder scan.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(m_long);
            if (dialog->selectedFiles() == QStringList{m_long})
                static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        });
        poll.start(20);
        QTest::keyClick(&rig().window, Qt::Key_S);
        poll.stop();
        QCOMPARE(title, QStringLiteral("プレイリストに追加する"));
        // The rows come after the pause, which holds the shared button timer.
        QCOMPARE(rig().logic.buttons.PressedButton(), int(PlainPause));
        QCOMPARE(rig().playlist.count(), 1);
        QTRY_COMPARE(rig().playlist.count(), 2);
        QCOMPARE(rig().playlist.path(2), m_long);
        // Nothing else changed: the same row plays on.
        QCOMPARE(rig().row(), 1);
        QCOMPARE(rig().player.DmyFileName(), m_third);
        QCOMPARE(engineState(rig()), PlayState::Playing);
    }

    void powerButtonOpensTheMenuOnlyForTheLeftButton() {
        int popups = 0;
        QObject::connect(&rig().commands, &ControlCommands::trayMenuRequested, [&] { ++popups; });
        QWidget* power = rig().element(SkinElement::PowerSkin);
        QWidget* power2 = rig().element(SkinElement::Power2Skin);
        QTest::mousePress(power, Qt::RightButton);
        QVERIFY(power2->isVisible());
        QTRY_VERIFY(!power2->isVisible());
        QTest::qWait(20);
        QCOMPARE(popups, 0);
        QTest::mouseRelease(power, Qt::RightButton);
        QTest::mousePress(power, Qt::LeftButton);
        QVERIFY(power2->isVisible());
        QCOMPARE(popups, 0);
        QTRY_COMPARE(popups, 1);
        QVERIFY(!power2->isVisible());
        QTest::mouseRelease(power, Qt::LeftButton);
        QTest::qWait(100);
        QCOMPARE(popups, 1);
    }

    void playlistButtonTogglesThePlaylistWindow() {
        int toggles = 0;
        QObject::connect(&rig().commands, &ControlCommands::playlistWindowToggleRequested,
                         [&] { ++toggles; });
        QTest::mouseClick(rig().element(SkinElement::PlayListSkin), Qt::LeftButton);
        QVERIFY(rig().element(SkinElement::PlayList2Skin)->isVisible());
        QCOMPARE(toggles, 0);
        QTRY_COMPARE(toggles, 1);
        // A right click is no click.
        QTest::mouseClick(rig().element(SkinElement::PlayListSkin), Qt::RightButton);
        QTest::qWait(120);
        QCOMPARE(toggles, 1);
    }

    void letterKeysActOnceOnReleaseWhateverTheModifiers() {
        rig().addRows({m_long, m_third, m_short});
        playRow(2);
        QTest::keyClick(&rig().window, Qt::Key_Z, Qt::ShiftModifier);
        QCOMPARE(rig().row(), 1);
        QTest::keyClick(&rig().window, Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(rig().row(), 2);
        // Keys on the text areas reach the same handlers, once per event.
        QTest::keyClick(rig().element(SkinElement::TagInfo1), Qt::Key_Z);
        QCOMPARE(rig().row(), 1);
        QTest::keyClick(rig().element(SkinElement::NowTime), Qt::Key_B);
        QCOMPARE(rig().row(), 2);
        // The press alone does nothing, and neither do the releases the keyboard
        // repeats while the key is held.
        QTest::keyPress(&rig().window, Qt::Key_B);
        QCOMPARE(rig().row(), 2);
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(&rig().window, &repeat);
            QKeyEvent again(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(&rig().window, &again);
        }
        QCOMPARE(rig().row(), 2);
        QTest::keyRelease(&rig().window, Qt::Key_B);
        QCOMPARE(rig().row(), 3);

        QTest::keyClick(&rig().window, Qt::Key_C);
        QCOMPARE(engineState(rig()), PlayState::Paused);
        QTest::keyClick(&rig().window, Qt::Key_C);
        QCOMPARE(engineState(rig()), PlayState::Playing);
        QTest::keyClick(&rig().window, Qt::Key_V);
        QCOMPARE(engineState(rig()), PlayState::Stopped);
        QTest::keyClick(&rig().window, Qt::Key_X);
        QCOMPARE(rig().player.PlayState(), PlayState::Playing);
        QCOMPARE(rig().player.DmyFileName(), m_short);

        // In place of the dialog, count the requests.
        int adds = 0;
        QObject::disconnect(&rig().commands, &ControlCommands::addFilesRequested, nullptr, nullptr);
        QObject::connect(&rig().commands, &ControlCommands::addFilesRequested, [&] { ++adds; });
        QTest::keyClick(&rig().window, Qt::Key_S);
        QCOMPARE(adds, 1);
    }

    void playFromTheTopMakesRowOneCurrent() {
        rig().addRows({m_long, m_third, m_short});
        PlaylistModel& list = rig().playlist;
        list.setSelected(3, true);
        playRow(3);
        QTest::keyClick(&rig().window, Qt::Key_D);
        QCOMPARE(rig().row(), 1);
        QCOMPARE(rig().player.DmyFileName(), m_long);
        QCOMPARE(rig().player.PlayState(), PlayState::Playing);
        QVERIFY(list.isHighlighted(1));
        QVERIFY(!list.isHighlighted(3));
        QVERIFY(list.isSelected(1));
        QVERIFY(!list.isSelected(3));
    }

    void volumeKeysStepAndStopAtTheEnds() {
        QWidget* track = rig().element(SkinElement::ChangeVolume);
        QWidget* knob = rig().element(SkinElement::VolumeBarSkin);
        const int travel = track->height() - knob->height();
        QVERIFY(travel > 0);
        QCOMPARE(rig().logic.volume.WavVolume(), 13);
        QTest::keyClick(&rig().window, Qt::Key_Up);
        QCOMPARE(rig().logic.volume.WavVolume(), 14);
        QCOMPARE(knob->y(), track->y() + qRound(travel * 17.0 / 31));

        rig().settings.WavVolume = 31;
        rig().logic.volume.ApplyVolume();
        QCOMPARE(knob->y(), track->y());
        QTest::keyClick(&rig().window, Qt::Key_Up);
        QCOMPARE(rig().logic.volume.WavVolume(), 31);
        QCOMPARE(knob->y(), track->y());

        rig().settings.WavVolume = 0;
        rig().logic.volume.ApplyVolume();
        QTest::keyClick(&rig().window, Qt::Key_Down);
        QCOMPARE(rig().logic.volume.WavVolume(), 0);
        QCOMPARE(knob->y(), track->y() + travel);
        // Held down, the arrow repeats.
        for (int i = 0; i < 5; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), i > 0);
            QCoreApplication::sendEvent(&rig().window, &repeat);
        }
        QCOMPARE(rig().logic.volume.WavVolume(), 5);
    }

    void volumeBarFollowsTheLeftButtonOnly() {
        QWidget* track = rig().element(SkinElement::ChangeVolume);
        QWidget* knob = rig().element(SkinElement::VolumeBarSkin);
        const int travel = track->height() - knob->height();
        sendMouse(track, QEvent::MouseButtonPress, {5, 2}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(knob->y(), track->y() + 2);
        sendMouse(track, QEvent::MouseMove, {5, -40}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(rig().logic.volume.WavVolume(), 31);
        QCOMPARE(knob->y(), track->y());
        sendMouse(track, QEvent::MouseMove, {5, travel + 40}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(rig().logic.volume.WavVolume(), 0);
        QCOMPARE(knob->y(), track->y() + travel);
        sendMouse(track, QEvent::MouseButtonRelease, {5, travel + 40}, Qt::LeftButton,
                  Qt::NoButton);
        QTest::keyClick(&rig().window, Qt::Key_Up);
        QTest::keyClick(&rig().window, Qt::Key_Up);
        const int knobY = knob->y();
        // A pointer passing over the bar without a button leaves step and knob alone.
        for (int y = 0; y < track->height(); y += 3)
            QTest::mouseMove(track, QPoint(5, y));
        QCOMPARE(rig().logic.volume.WavVolume(), 2);
        QCOMPARE(knob->y(), knobY);
    }

    void arrowKeysSeekAndTheEndMovesOn() {
        rig().addRows({m_long, m_short, m_third});
        playRow(1);
        QTest::keyClick(&rig().window, Qt::Key_Right);
        QTest::keyClick(&rig().window, Qt::Key_Right);
        QCOMPARE(nowTime(rig()), QStringLiteral("00:10"));
        QTest::keyClick(&rig().window, Qt::Key_Left);
        QCOMPARE(nowTime(rig()), QStringLiteral("00:05"));
        // Within the first five seconds Left goes back to the start.
        QTest::keyClick(&rig().window, Qt::Key_Left);
        QTest::keyClick(&rig().window, Qt::Key_Left);
        QCOMPARE(nowTime(rig()), QStringLiteral("00:00"));

        // Right near the end of a song seeks past it: the song ends and the next row
        // plays.
        QTest::keyClick(&rig().window, Qt::Key_B);
        QCOMPARE(rig().player.DmyFileName(), m_short);
        QTest::keyClick(&rig().window, Qt::Key_Right);
        QTRY_COMPARE(rig().row(), 3);
        QCOMPARE(rig().player.DmyFileName(), m_third);
        QCOMPARE(rig().player.PlayState(), PlayState::Playing);
    }

    void draggingTheSeekKnobSeeksToWhereItIsLetGo() {
        rig().addRows({m_long, m_third});
        QWidget* track = rig().element(SkinElement::ChangeTime);
        QWidget* knob = rig().element(SkinElement::TimeBarSkin);
        const int range = track->width() - knob->width();
        QVERIFY(range > 0);

        // Nothing open: the bar does not take the knob.
        sendMouse(track, QEvent::MouseButtonPress, {range / 2, 3}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(knob->x(), track->x());
        QVERIFY(!rig().logic.display.knobHeld());
        sendMouse(track, QEvent::MouseButtonRelease, {range / 2, 3}, Qt::LeftButton, Qt::NoButton);

        playRow(1);
        QTest::keyClick(&rig().window, Qt::Key_Right);
        QTest::keyClick(&rig().window, Qt::Key_Right);
        QCOMPARE(nowTime(rig()), QStringLiteral("00:10"));
        QCOMPARE(knob->x(), track->x() + qRound(range / 2.0));

        // Dragged past the left end the knob stays at it; let go there, the song
        // starts over and the knob follows the position again at once.
        sendMouse(track, QEvent::MouseButtonPress, {range / 2, 3}, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(rig().logic.seek.isDragging());
        sendMouse(track, QEvent::MouseMove, {-60, 3}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(knob->x(), track->x());
        sendMouse(track, QEvent::MouseButtonRelease, {-60, 3}, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!rig().logic.seek.isDragging());
        QCOMPARE(nowTime(rig()), QStringLiteral("00:00"));
        QCOMPARE(rig().logic.display.KnobOffset(), 0);
        QTRY_VERIFY(knob->x() > track->x());
        QCOMPARE(rig().row(), 1);

        // While the knob is held the refresh leaves it where the pointer put it.
        sendMouse(track, QEvent::MouseButtonPress, {range / 4, 3}, Qt::LeftButton, Qt::LeftButton);
        sendMouse(track, QEvent::MouseMove, {range + 80, 3}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(knob->x(), track->x() + range);
        QTest::qWait(250);
        QCOMPARE(knob->x(), track->x() + range);
        QCOMPARE(rig().row(), 1);
        // Let go at the right end: the song is sought to its length, ends, and the
        // next row plays.
        sendMouse(track, QEvent::MouseButtonRelease, {range + 80, 3}, Qt::LeftButton, Qt::NoButton);
        QTRY_COMPARE(rig().row(), 2);
        QCOMPARE(rig().player.DmyFileName(), m_third);
    }

    void seekBarIgnoresOtherButtons() {
        rig().addRows({m_long});
        playRow(1);
        QWidget* track = rig().element(SkinElement::ChangeTime);
        sendMouse(track, QEvent::MouseButtonPress, {track->width() - 5, 3}, Qt::RightButton,
                  Qt::RightButton);
        sendMouse(track, QEvent::MouseMove, {track->width() - 5, 3}, Qt::NoButton,
                  Qt::LeftButton | Qt::RightButton);
        QVERIFY(!rig().logic.seek.isDragging());
        sendMouse(track, QEvent::MouseButtonRelease, {track->width() - 5, 3}, Qt::RightButton,
                  Qt::LeftButton);
        QCOMPARE(nowTime(rig()), QStringLiteral("00:00"));
        QCOMPARE(rig().player.PlayState(), PlayState::Playing);
    }
};

QTEST_MAIN(TestControlsWindow)
#include "tst_controls_window.moc"
