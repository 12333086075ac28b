#include "skin/SkinControl.h"

#include "common/FilePlaces.h"
#include "settings/Settings.h"
#include "skin/SkinList.h"
#include "skin/SkinLoad.h"
#include "skin/SkinReader.h"

namespace pelto {

SkinControl::SkinControl(Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_look(initialSkinState()) {}

void SkinControl::SetSkinList() {
    m_entries = pelto::SetSkinList(filePlaces().skinRoots);
    emit skinEntriesChanged(m_entries);
}

void SkinControl::clearSkinList() {
    if (m_entries.size() > 1)
        emit skinEntriesChanged(m_entries.mid(0, 1));
}

void SkinControl::LoadSkin(bool atStart) {
    SkinLoadResult result = loadSkinState(filePlaces().skinRoots, m_settings.Skin_FilePath, m_look,
                                          atStart ? SkinLoadTime::AtStart : SkinLoadTime::Later);
    m_settings.Skin_FilePath = result.skinName;
    if (!result.state)
        return;
    m_look = std::move(*result.state);
    emit skinApplied(m_look);
    emit checkedSkinEntryChanged(checkedSkinEntry(m_entries, m_settings.Skin_FilePath));
}

void SkinControl::chooseSkin(const QString& name) {
    m_settings.Skin_FilePath = name;
    LoadSkin();
}

} // namespace pelto
