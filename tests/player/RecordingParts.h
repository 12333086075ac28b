#pragma once

#include "player/PlayerView.h"
#include "settings/Settings.h"
#include "skin/SkinState.h"

#include <QStringList>

#include <array>

namespace pelto::test {

// The main window as the player logic sees it, without widgets: every character is
// 6 pixels wide, the boxes have the widths the test gives, and what is drawn is kept.
class RecordingView : public PlayerView {
public:
    explicit RecordingView(QStringList* events = nullptr) : m_events(events) {}

    struct Line {
        QString text;
        int offsetPx = 0;
        bool twice = false;
    };
    QString nowTime, totalTime;
    std::array<Line, 3> lines;
    std::array<int, 3> boxWidth{120, 120, 120};
    int knobOffset = -1;
    int seekRange = 1500; // twips
    std::optional<QStringList> filesToChoose;
    int dialogsShown = 0;
    int skinsApplied = 0;
    bool shown = false;

    void showNowTime(const QString& text) override { nowTime = text; }
    void showTotalTime(const QString& text) override { totalTime = text; }
    void showInfoLine(int i, const QString& text, int offsetPx, bool twice) override {
        lines[size_t(i)] = {text, offsetPx, twice};
    }
    int infoTextWidth(int, const QString& text) const override { return 6 * int(text.size()); }
    int infoBoxWidth(int i) const override { return boxWidth[size_t(i)]; }
    int seekRangeTwips() const override { return seekRange; }
    void placeSeekKnob(int offsetTwips) override { knobOffset = offsetTwips; }
    std::optional<QStringList> chooseFilesToOpen(const QString&) override {
        ++dialogsShown;
        return filesToChoose;
    }
    void applySkinState(const SkinState&) override {
        ++skinsApplied;
        note(QStringLiteral("applySkinState"));
    }
    void showMainWindow() override {
        shown = true;
        note(QStringLiteral("showMainWindow"));
    }

private:
    void note(const QString& e) {
        if (m_events)
            m_events->append(e);
    }
    QStringList* m_events;
};

} // namespace pelto::test
