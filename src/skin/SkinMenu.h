#pragma once

#include <QString>
#include <QStringList>

namespace pelto {

// What hosts the skin entries of the program's menu. The menu's owner implements it;
// the skin side fills it once at start (SetSkinList) and moves the check mark after
// every skin load (checkedSkinEntry). Choosing an entry is the host's to report: it
// sets the current skin name to the entry's caption and asks for the skin to be loaded.
class SkinMenuHost {
public:
    virtual ~SkinMenuHost() = default;
    // Replaces the skin entries by one entry per caption, in order, none checked.
    virtual void setSkinEntries(const QStringList& captions) = 0;
    // Checks entry index and unchecks every other; -1 unchecks them all.
    virtual void setCheckedEntry(int index) = 0;
};

} // namespace pelto
