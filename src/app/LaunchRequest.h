#pragma once

#include <QString>
#include <QStringList>

namespace pelto {

// What a launch asks for, read from its arguments before anything else happens.
// "-h"/"--help" asks for the usage and "-V"/"--version" for the version, wherever
// they stand before "--"; the first "--" is dropped and every argument after it is a
// file name, even one that begins with "-". Any other argument is a file name.
struct LaunchRequest {
    enum class Kind { Play, Help, Version };
    Kind kind = Kind::Play;
    QStringList names; // for Play: the file names, in order
};

LaunchRequest readLaunchRequest(const QStringList& arguments);

// The short usage printed for --help: the arguments, the environment and the files
// the program keeps.
QString usageText();

// The program's name and version, as --version prints it ("Pelto 1.12").
QString versionText();

} // namespace pelto
