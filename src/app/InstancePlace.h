#pragma once

#include <QString>

namespace pelto {

// Where the copies of one install meet: a lock file that decides which copy is the
// first, and the local socket the first copy receives hand-offs on. Both live in a
// folder only this user can enter, and their names carry the user id and a hash of
// the program folder, so separate installs and test homes never meet.
struct InstancePlace {
    QString folder;     // empty when no private folder could be had
    QString lockPath;   // the first copy holds a lock on this file
    QString socketPath; // the first copy listens here

    bool isValid() const { return !folder.isEmpty(); }
};

// The place for the copies whose settings live in settingsFolder (the program folder
// of a portable copy).
InstancePlace instancePlaceFor(const QString& settingsFolder);

// The private runtime folder of this user, the first usable of: $XDG_RUNTIME_DIR; a
// 0700 folder "pelto-<uid>" of our own in the temporary folder; "pelto" (0700) in the
// user's cache folder ($XDG_CACHE_HOME, else ~/.cache). The fallbacks are created when
// needed. A folder is usable when it is a real folder of this user that no one else
// may enter and a socket path in it fits a local socket address; a folder in the
// temporary folder that someone else made or opened (another owner, another mode,
// a link) is passed over. Empty when none can be had.
QString privateRuntimeFolder();

} // namespace pelto
