#pragma once

#include "skin/SkinState.h"

#include <QObject>
#include <QStringList>

namespace pelto {

struct Settings;

// The skin the program shows and the skins it offers: lists the installed skins for
// the menu (SetSkinList), applies the one Skin_FilePath names (LoadSkin) and
// announces the new look, the menu's entries and which of them is checked. The main
// window, the information lines and the volume bar follow skinApplied.
class SkinControl : public QObject {
    Q_OBJECT
public:
    explicit SkinControl(Settings& settings, QObject* parent = nullptr);

    // The skinned look the main window shows.
    const SkinState& look() const { return m_look; }
    // The menu's skin captions, as listed at load.
    const QStringList& entries() const { return m_entries; }

    // Lists the installed skins into the skin menu (once, at load).
    void SetSkinList();
    // Takes the listed skins out of the menu again, leaving its first entry, which
    // belongs to the menu itself (the unload).
    void clearSkinList();
    // Applies the skin named by Skin_FilePath. A folder without "_skin.cfg" changes
    // nothing but makes the name "standard"; at start that standard skin is then
    // applied in the same start.
    void LoadSkin(bool atStart = false);
    // Makes a skin the current one and applies it (a menu choice).
    void chooseSkin(const QString& name);

signals:
    // The menu's skin entries, one per caption, none checked.
    void skinEntriesChanged(const QStringList& captions);
    // The entry to check (-1: none).
    void checkedSkinEntryChanged(int index);
    // A skin was applied: the look to show.
    void skinApplied(const pelto::SkinState& look);

private:
    Settings& m_settings;
    QStringList m_entries;
    SkinState m_look;
};

} // namespace pelto
