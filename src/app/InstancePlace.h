#pragma once

#include <QString>

namespace pelto {

// Where the copies of one install meet: a lock file that decides which copy is the
// first, and the local socket the first copy receives hand-offs on. Both live in a
// folder only this user can enter ($XDG_RUNTIME_DIR, or a 0700 folder of our own in
// the temporary folder), and their names carry the user id and a hash of the program
// folder, so separate installs and test homes never meet.
struct InstancePlace {
    QString folder;     // empty when no private folder could be had
    QString lockPath;   // the first copy holds a lock on this file
    QString socketPath; // the first copy listens here

    bool isValid() const { return !folder.isEmpty(); }
};

// The place for the copies running from programFolder.
InstancePlace instancePlaceFor(const QString& programFolder);

// The private runtime folder of this user, created when needed; empty when none can
// be had (an unusable $XDG_RUNTIME_DIR is passed over for the fallback).
QString privateRuntimeFolder();

} // namespace pelto
