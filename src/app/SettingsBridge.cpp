#include "app/SettingsBridge.h"

#include "common/FilePlaces.h"
#include "common/Twips.h"
#include "player/InfoDisplay.h"
#include "player/MainPlayer.h"
#include "player/Player.h"
#include "player/WindowDrag.h"
#include "settings/ConfigFile.h"
#include "settings/SettingForm.h"
#include "settings/Settings.h"
#include "settings/WindowPlace.h"

#include <QEvent>
#include <QTabWidget>
#include <QTimer>

namespace pelto {

// The main window's place. The saved place waits for the window's first showing: by
// then the skin has sized it, and the pull-back from the screen's edges and the check
// against unplugged screens measure the window as it will be seen. Its always-on-top
// switch is the tray menu's.
class SettingsBridge::MainWindowPlace : public QObject {
public:
    explicit MainWindowPlace(MainPlayer& window) : m_window(window) {}

    void applyConfig(const Settings& settings) {
        m_left = settings.MainPlayer_X;
        m_top = settings.MainPlayer_Y;
        m_pending = m_left || m_top;
        if (m_pending)
            m_window.installEventFilter(this);
    }

    void storeConfig(Settings& settings) const {
        if (m_pending)
            return; // never shown: the saved place stands
        const QPoint place = savedPlace(m_window.pos(), ScreenLayout::ofDesktop());
        settings.MainPlayer_X = place.x();
        settings.MainPlayer_Y = place.y();
    }

protected:
    // The show event comes before the window is mapped, so it appears in its place.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Show && m_pending) {
            m_pending = false;
            m_window.removeEventFilter(this);
            const QRect now(pixelsToTwips(m_window.x()), pixelsToTwips(m_window.y()),
                            pixelsToTwips(m_window.width()), pixelsToTwips(m_window.height()));
            const QPoint place = startPlace(now, m_left, m_top, true, ScreenLayout::ofDesktop());
            m_window.move(twipsToPixels(place.x()), twipsToPixels(place.y()));
        }
        return false;
    }

private:
    MainPlayer& m_window;
    std::optional<int> m_left, m_top;
    bool m_pending = false;
};

SettingsBridge::SettingsBridge(Settings& settings, const Player& player, InfoDisplay& display,
                               MainPlayer& mainWindow, QObject* parent)
    : QObject(parent), m_settings(settings), m_player(player), m_display(display),
      m_mainWindow(mainWindow), m_mainWindowPlace(std::make_unique<MainWindowPlace>(mainWindow)) {
    // For the screenshot script: the dialog opens on tab n as soon as the program runs.
    if (const int tab = qEnvironmentVariableIntValue("PELTO_TEST_OPEN_SETTINGS"))
        QTimer::singleShot(0, this, [this, tab] {
            SettingForm form(m_settings, *this, &m_mainWindow);
            form.SettingTabStrip()->setCurrentIndex(tab - 1);
            form.exec();
        });
}

SettingsBridge::~SettingsBridge() = default;

void SettingsBridge::LoadConfig(PlaylistModel& playlist) {
    int row = playlist.PlayListTrNum();
    const QString path = configFilePath(filePlaces().settingsFolder);
    const ReadOutcome read = pelto::LoadConfig(path, m_settings, row);
    // Settings that could not be read are not replaced by this run's defaults.
    m_leaveConfigFile = read.refused();
    if (m_leaveConfigFile)
        reportUnreadFile(path, read.reason,
                         QStringLiteral("running with the default settings and leaving the "
                                        "file as it is"));
    playlist.setPlayListTrNum(row);
    m_mainWindowPlace->applyConfig(m_settings);
}

void SettingsBridge::SaveConfig(const Settings& settings, const PlaylistModel& playlist) {
    if (m_leaveConfigFile)
        return;
    Settings saved = settings;
    m_mainWindowPlace->storeConfig(saved);
    // Natively on Wayland the windows' places are the compositor's and the program is
    // told none of them: the places read stand.
    if (!WindowDrag::clientPlacesWindows()) {
        saved.MainPlayer_X = m_settings.MainPlayer_X;
        saved.MainPlayer_Y = m_settings.MainPlayer_Y;
        saved.PlayList_X = m_settings.PlayList_X;
        saved.PlayList_Y = m_settings.PlayList_Y;
    }
    pelto::SaveConfig(configFilePath(filePlaces().settingsFolder), saved, playlist.PlayListTrNum());
}

void SettingsBridge::showSettingForm() {
    SettingForm::showModal(m_settings, *this, &m_mainWindow);
}

std::array<QString, 3> SettingsBridge::SkinTagInfo() const {
    return m_display.SkinTagInfo();
}

QString SettingsBridge::SkinTagScroll() const {
    return m_display.SkinTagScroll();
}

int SettingsBridge::PlayState() const {
    return int(m_player.PlayState());
}

void SettingsBridge::redrawInfoLines() {
    m_display.redrawInfoLines();
}

} // namespace pelto
