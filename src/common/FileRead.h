#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace pelto {

// Opening and reading the program's files by name so that nothing in a file's place
// can hold the program up or fill its memory: the open never waits (a named pipe
// without a writer, a device), anything that is not a regular file is refused at
// once, and a whole-file read takes at most the bytes its caller allows, however
// large the file is or grows while it is read.

enum class FileStatus {
    Read,    // opened (and, for a whole-file read, read whole)
    Missing, // nothing of that name
    Refused, // something is there but cannot or may not be read; `reason` says why
};

// What opening or reading one file came to.
struct ReadOutcome {
    FileStatus status = FileStatus::Missing;
    QString reason; // when not Read: why, in a few words
    int error = 0;  // the system's error number when the system refused
    bool refused() const { return status == FileStatus::Refused; }
};

struct OpenedFile : ReadOutcome {
    int fd = -1; // owned by the caller when status is Read
    std::int64_t size = 0;
};

// Opens a regular file for reading (close-on-exec, never blocking, never a
// controlling terminal).
OpenedFile openRegularFile(const QString& path);

struct FileContents : ReadOutcome {
    QByteArray bytes;
};

// The whole of a regular file of at most `maxBytes` bytes.
FileContents readWholeFile(const QString& path, std::int64_t maxBytes);

// The system's words for an error number ("Permission denied").
QString systemReason(int error);

// The reason of an outcome for a message of its own: "cannot be read (Permission
// denied)" for what the system refused, else the reason as it stands.
QString unreadableText(const ReadOutcome& outcome);

// One line on stderr: "Pelto: cannot read PATH: REASON" and, when given, "; " and
// what the program does instead. The name goes out as its bytes on the disk.
void reportUnreadFile(const QString& path, const QString& reason, const QString& consequence = {});

} // namespace pelto
