#include "player/Player.h"

#include "common/FilePlaces.h"
#include "common/SaveFile.h"
#include "player/LifecycleHooks.h"
#include "player/PlayerView.h"
#include "playlist/PlaylistAdder.h"
#include "playlist/PlaylistFile.h"
#include "settings/ConfigFile.h"
#include "skin/SkinList.h"
#include "skin/SkinLoad.h"
#include "skin/SkinMenu.h"

#include <QDir>
#include <QFileInfo>

namespace pelto {

namespace {
const QString kDefaultPlaylist = QStringLiteral("Pelto.m3u");
} // namespace

void Player::Load(const QString& commandLine,
                  const std::function<std::unique_ptr<Decoder>()>& startDecoder) {
    m_decoder = startDecoder();
    m_hooks->loadHiddenWindows();
    m_hooks->uncheckAlwaysTop();

    m_knob.SeekDragging = 0;
    m_stopRequested = 0;
    m_totalTimePrefix.clear();
    m_skinTagInfo = {};
    m_skinTagScroll.clear();
    m_settings = Settings();
    m_playlist.setPlayListTrNum(1);
    m_firstFailedRow = -1;

    const QString folder = filePlaces().settingsFolder;
    // A save that a crash cut short left its temporary file beside the old one. This
    // copy is the only one running from the folder, so no save of these is under way.
    removeUnfinishedSaves(configFilePath(folder));
    removeUnfinishedSaves(folder + kDefaultPlaylist);
    removeUnfinishedSaves(RowFactsCache::fileIn(folder));
    m_rowFacts.load(RowFactsCache::fileIn(folder));
    SetSkinList();
    m_hooks->LoadConfig(m_settings, m_playlist);
    LoadSkin(true);

    if (!commandLine.isEmpty()) {
        m_adder.AddCommandLine(commandLine, true, true);
    } else if (m_settings.SavePlayList == 1 && QFileInfo::exists(folder + kDefaultPlaylist)) {
        m_adder.addPlayListFile(folder + kDefaultPlaylist);
        const int row = m_playlist.PlayListTrNum();
        if (row > 0 && row <= m_playlist.count()) {
            if (m_settings.AutoScrollPlayList == 1)
                m_playlist.requestScrollTo(m_playlist.findFirstRowWithPath(m_playlist.path(row)));
            m_playlist.SetPlayListColor();
        }
    } else {
        m_playlist.setPlayListTrNum(0);
    }

    if (m_settings.PlayList_Visible == -1)
        m_hooks->showPlayListWindow();
    if (m_view)
        m_view->showMainWindow();
}

void Player::closeQuery() {
    m_hooks->UnhookMainWindow();
}

void Player::Unload() {
    // An installed copy's settings folder is made at its first save.
    const QString folder = filePlaces().settingsFolder;
    QDir().mkpath(folder);
    m_hooks->SaveConfig(m_settings, m_playlist);
    if (m_settings.SavePlayList == 1)
        SavePlayListFile(m_playlist, folder + kDefaultPlaylist);
    m_rowFacts.save(RowFactsCache::fileIn(folder));
    // The first skin entry belongs to the menu itself and stays.
    if (m_skinMenu && m_skinEntries.size() > 1)
        m_skinMenu->setSkinEntries(m_skinEntries.mid(0, 1));
    m_hooks->unloadWindows();
    shutdownDecoder();
}

void Player::SetSkinList() {
    m_skinEntries = pelto::SetSkinList(filePlaces().skinRoots);
    if (m_skinMenu)
        m_skinMenu->setSkinEntries(m_skinEntries);
}

void Player::LoadSkin(bool atStart) {
    SkinLoadResult result = loadSkinState(filePlaces().skinRoots, m_settings.Skin_FilePath, m_look,
                                          atStart ? SkinLoadTime::AtStart : SkinLoadTime::Later);
    m_settings.Skin_FilePath = result.skinName;
    if (!result.state)
        return;
    m_look = std::move(*result.state);
    setSkinTexts(m_look.SkinTagInfo, m_look.SkinTagScroll, m_look.TotalTimePrefix);
    if (m_view)
        m_view->applySkinState(m_look);
    if (m_skinMenu)
        m_skinMenu->setCheckedEntry(checkedSkinEntry(m_skinEntries, m_settings.Skin_FilePath));
    if (m_playState != StateStopped) {
        BuildInfoLines();
        m_scrollWait = 0;
        m_knob.KnobOffset = 0;
        Timer_Sec();
    }
    ApplyVolume();
}

} // namespace pelto
