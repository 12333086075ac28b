#pragma once

#include <QDialog>
#include <QStringList>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace pelto {

struct Settings;
class SettingFormHost;

// The settings dialog "Pelto 設定": two tabs, the formats of the three information
// lines with the scroll separator (or, while the skin's are used, the skin's, shown
// but not editable), and two playlist options.
//
// It has no OK or Cancel button. The playlist check boxes change their settings at
// once; the formats are taken when the dialog closes, however it closes, and when the
// texts differ from what the dialog showed at its start while a song is open, the
// information lines are redrawn at once. Every opening starts from the settings in
// memory.
class SettingForm : public QDialog {
    Q_OBJECT
public:
    SettingForm(Settings& settings, SettingFormHost& host, QWidget* parent = nullptr);

    // Opens the dialog modally and discards it when it closes.
    static void showModal(Settings& settings, SettingFormHost& host, QWidget* parent = nullptr);

    QTabWidget* SettingTabStrip() const { return m_tabs; }
    QWidget* SettingFrame(int i) const { return m_frames[size_t(i)]; }
    QLineEdit* InfoText(int i) const { return m_infoText[size_t(i)]; }
    QLineEdit* InfoScrollText() const { return m_infoText[3]; }
    QPushButton* DfltBtm() const { return m_defaults; }
    QCheckBox* SkinDefaultCheck() const { return m_skinCheck; }
    QCheckBox* SavePlayListCheck() const { return m_savePlayList; }
    QCheckBox* PlayListAutoScrollCheck() const { return m_autoScroll; }
    // The 1-based index of the tab whose frame shows.
    int ShownTabIndex() const { return m_shownTabIndex; }

    void done(int result) override;

private:
    QWidget* buildInfoFrame();
    QWidget* buildPlaylistFrame();
    QStringList shownTexts() const;
    void showTexts(const QStringList& texts, bool enabled);

    void SkinDefaultCheck_Click();
    void DfltBtm_Click();
    void SettingTabStrip_Click(int n);
    void Form_Unload();

    Settings& m_settings;
    SettingFormHost& m_host;
    QTabWidget* m_tabs;
    std::array<QWidget*, 2> m_frames{};
    // InfoText(0) to InfoText(2), then InfoScrollText.
    std::array<QLineEdit*, 4> m_infoText{};
    QPushButton* m_defaults = nullptr;
    QCheckBox* m_skinCheck = nullptr;
    QCheckBox* m_savePlayList = nullptr;
    QCheckBox* m_autoScroll = nullptr;
    int m_shownTabIndex = 1;
    QStringList m_initialInfoText;
    bool m_unloaded = false;
};

} // namespace pelto
