#pragma once

#include "tray/TrayVolume.h"

#include <QList>
#include <QMenu>

#include <array>

namespace pelto {

// The program's one popup menu, mnuTray: every command in one place, opened from the
// tray icon's right button and from the main window's power button. It is only the
// menu's structure, captions and check marks; what the items do is wired by the tray
// (TaskTrayForm). Every item carries its control name as its object name.
//
// The skin entries follow the skin side: it lists them at start and moves the check
// mark after each skin load. A chosen entry reports its skin name and keeps
// its check mark as it was, since only a skin that loads moves the mark.
class TrayMenu : public QMenu {
    Q_OBJECT
public:
    // The caption of the first skin entry while no skin folder has been listed.
    static constexpr const char16_t* kSkinListDesignCaption = u"(ここにスキンが追加される)";

    explicit TrayMenu(QWidget* parent = nullptr);

    QAction* AlwaysTop;
    QAction* AlwaysTopPlaylist;
    QAction* View_PlayList_Menu;
    QMenu* SoundCmd;
    QAction* BackSound_Menu;
    QAction* PlaySound_Menu;
    QAction* PauseSound_Menu;
    QAction* StopSound_Menu;
    QAction* NextSound_Menu;
    QAction* PlaySoundTop_Menu;
    QAction* OpenSound_Menu;
    QAction* AddSound_Menu;
    QMenu* VolumeMenu;
    std::array<QAction*, kTrayVolumeItems> SetVolume;
    QMenu* SkinMenu;
    QAction* SkinInfomation;
    QAction* Setting;
    QAction* VerInfo;
    QAction* End_Program;

    // The skin entries SkinList(0), SkinList(1), ... in menu order.
    const QList<QAction*>& SkinList() const { return m_skinList; }

    // Replaces the skin entries by one entry per caption, in order, none checked.
    void setSkinEntries(const QStringList& captions);
    // Checks entry index and unchecks every other; -1 unchecks them all.
    void setCheckedEntry(int index);

    // The caption an item shows (an "&" in a skin name is shown as it is).
    static QString captionOf(const QAction* item);

signals:
    // Skin entry `index` was chosen; name is its caption.
    void skinChosen(int index, const QString& name);

private:
    QAction* addSkinEntry(const QString& name);

    QList<QAction*> m_skinList;
};

} // namespace pelto
