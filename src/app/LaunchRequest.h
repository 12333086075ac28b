#pragma once

#include <QString>
#include <QStringList>

namespace pelto {

// What a launch asks for, read from its arguments before anything else happens.
// "-h"/"--help" asks for the usage, "-V"/"--version" for the version and a remote
// command ("--next", see remoteCommandNames) for that command to be run by the running
// copy, wherever they stand before "--"; the first of them decides and the other
// arguments are not read. The first "--" is dropped and every argument after it is a
// file name, even one that begins with "-". Any other argument is a file name.
struct LaunchRequest {
    enum class Kind { Play, Help, Version, Remote };
    Kind kind = Kind::Play;
    QStringList names; // for Play: the file names, in order
    QString command;   // for Remote: the command's name, the option without "--"
};

LaunchRequest readLaunchRequest(const QStringList& arguments);

// The remote commands, each given as an option "--" + name: play-pause, play, pause,
// stop, next, previous, status.
QStringList remoteCommandNames();

// The short usage printed for --help: the arguments, the environment and the files
// the program keeps.
QString usageText();

// The program's name and version, as --version prints it ("Pelto 1.12").
QString versionText();

} // namespace pelto
