#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pelto {

// The command line as the playlist's command-line parser reads it: the arguments
// after the program's own name, each wrapped in double quotes when it holds a space,
// joined by single spaces. POSIX hands us argv already split; this puts it back
// together in the one form the parser understands.
QString joinCommandLine(const QStringList& arguments);

// The arguments of this process: argv after the program name, read as file names
// (decodeFileName), so that a name that is not UTF-8 keeps its bytes. Needs no
// application object.
QStringList argumentsOf(int argc, char** argv);

// The names with every one that is not absolute made absolute against folder (the
// launching process's working folder) and cleaned of "." and ".." steps, so that a
// playlist row, Pelto.m3u and a hand-off to a copy started elsewhere all mean the
// file the user named. Empty names stay empty.
QStringList absoluteNames(const QStringList& names, const QString& folder);

// The bytes of one hand-off: the command line as the bytes of its names
// (encodeFileName: UTF-8, with the bytes of names that are not UTF-8 as they were)
// followed by three zero bytes. An empty command line gives just the three zero bytes.
QByteArray handOffPayload(const QString& commandLine);

// The command line a hand-off carries: the bytes read as names (decodeFileName) and
// cut at the first NUL, so whatever follows it is ignored.
QString commandLineFromPayload(const QByteArray& payload);

} // namespace pelto
