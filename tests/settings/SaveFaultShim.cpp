// Loaded into the real program with LD_PRELOAD, it makes one step of the saves of one
// file fail as a sick or full disk would. PELTO_FAULT_FILE names the file (its full
// path); PELTO_FAULT picks the step:
//   flush   fdatasync and fsync of the file being written fail with EIO;
//   write   the first write to it is cut short, every later one fails with ENOSPC;
//   rename  renaming it over the file fails with EROFS;
//   kill    the program is killed just before that rename, as a crash would end it.
// Everything else, and every other file, goes to the C library untouched.
#include "FaultShim.h"

#include <cerrno>
#include <csignal>
#include <string>

namespace {

template <typename F> F next(const char* name) {
    return pelto::test::nextDefinition<F>(name);
}

bool faultIs(const char* kind) {
    return pelto::test::environmentIs("PELTO_FAULT", kind);
}

const char* target() {
    return std::getenv("PELTO_FAULT_FILE");
}

// Whether fd is a temporary file of a save of the target (its name followed by a
// suffix of the saver's own).
bool writesTarget(int fd) {
    const char* file = target();
    if (!file)
        return false;
    char path[4096];
    if (!pelto::test::pathOfDescriptor(fd, path, sizeof path))
        return false;
    const size_t length = std::strlen(file);
    return std::strncmp(path, file, length) == 0 && path[length] == '.';
}

bool flushFails(int fd) {
    if (!faultIs("flush") || !writesTarget(fd))
        return false;
    errno = EIO;
    return true;
}

} // namespace

extern "C" {

ssize_t write(int fd, const void* buffer, size_t count) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    static bool cutShort = false;
    if (faultIs("write") && writesTarget(fd)) {
        if (!cutShort && count > 1) {
            cutShort = true;
            return real(fd, buffer, count / 2);
        }
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buffer, count);
}

int fdatasync(int fd) {
    static const auto real = next<int (*)(int)>("fdatasync");
    return flushFails(fd) ? -1 : real(fd);
}

int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    return flushFails(fd) ? -1 : real(fd);
}

int rename(const char* from, const char* to) {
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    const char* file = target();
    if (file && std::strcmp(to, file) == 0) {
        if (faultIs("kill"))
            ::kill(::getpid(), SIGKILL);
        if (faultIs("rename")) {
            errno = EROFS;
            return -1;
        }
    }
    return real(from, to);
}
}
