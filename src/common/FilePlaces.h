#pragma once

#include <QString>
#include <QStringList>

namespace pelto {

// Where this copy of the program keeps its files.
//
// A portable copy (the build folder, or any program folder the user can write to that
// holds its own skin/) keeps everything in its program folder: Pelto.cfg, Pelto.m3u
// and skin/. An installed copy (a program folder that is not writable, or one beside
// an installed share/pelto/skin/ without a skin/ of its own) keeps the settings and the
// default playlist in $XDG_CONFIG_HOME/pelto/ and lists the skins of
// $XDG_DATA_HOME/pelto/skin/ and of the installed share/pelto/skin/. PELTO_HOME, when
// set, is a portable program folder whatever it holds.
struct FilePlaces {
    // The folder of Pelto.cfg and Pelto.m3u, ending in "/". It may not exist yet.
    QString settingsFolder;
    // The folders whose subfolders are the skins, each ending in "/". For a skin name
    // found in several, the first folder's skin is used.
    QStringList skinRoots;
};

// The places for a program folder. homeGiven: the folder came from PELTO_HOME.
// configHome and dataHome are the user's XDG folders.
FilePlaces filePlacesFor(const QString& programFolder, bool homeGiven, const QString& configHome,
                         const QString& dataHome);

// The places of this process, from programFolder(), PELTO_HOME and the XDG folders.
FilePlaces filePlaces();

} // namespace pelto
