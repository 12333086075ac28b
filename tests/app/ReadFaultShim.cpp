// Loaded into the real program with LD_PRELOAD, it makes the reading of one file fail as
// a file of another user or a failing disk would. PELTO_READ_FAULT_FILE names the file
// (its full path); PELTO_READ_FAULT picks the failure:
//   eacces  opening it fails with EACCES (a file of another user, mode 600);
//   eio     it opens, but every read of it fails with EIO;
//   hang    a read of it by the decode thread past its first 64 KiB never returns, as on
//           a network share that went away.
// Everything else, and every other file, goes to the C library untouched.
#include "FaultShim.h"

#include <fcntl.h>
#include <pthread.h>

#include <cerrno>
#include <cstdarg>

using pelto::test::environmentIs;

namespace {

template <typename F> F next(const char* name) {
    return pelto::test::nextDefinition<F>(name);
}

bool faultIs(const char* kind) {
    return environmentIs("PELTO_READ_FAULT", kind);
}

bool isTarget(const char* path) {
    const char* file = std::getenv("PELTO_READ_FAULT_FILE");
    return file && path && std::strcmp(path, file) == 0;
}

bool opensTarget(const char* path) {
    if (!faultIs("eacces") || !isTarget(path))
        return false;
    errno = EACCES;
    return true;
}

bool readsTarget(int fd) {
    char path[4096];
    if (!faultIs("eio") || !pelto::test::pathOfDescriptor(fd, path, sizeof path) || !isTarget(path))
        return false;
    errno = EIO;
    return true;
}

// Whether this read is one that never returns; then it does not.
void hangIfAsked(int fd, off_t offset) {
    char path[4096];
    char thread[32] = {};
    if (!faultIs("hang") || offset < 65536 ||
        !pelto::test::pathOfDescriptor(fd, path, sizeof path) || !isTarget(path) ||
        pthread_getname_np(pthread_self(), thread, sizeof thread) != 0 ||
        std::strcmp(thread, "pelto-decode") != 0)
        return;
    for (;;)
        ::pause();
}

mode_t modeOf(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

extern "C" {

#define PELTO_OPEN(name)                                                                           \
    int name(const char* path, int flags, ...) {                                                   \
        static const auto real = next<int (*)(const char*, int, ...)>(#name);                      \
        va_list args;                                                                              \
        va_start(args, flags);                                                                     \
        const mode_t mode = modeOf(flags, args);                                                   \
        va_end(args);                                                                              \
        return opensTarget(path) ? -1 : real(path, flags, mode);                                   \
    }
PELTO_OPEN(open)
PELTO_OPEN(open64)

#define PELTO_OPENAT(name)                                                                         \
    int name(int dir, const char* path, int flags, ...) {                                          \
        static const auto real = next<int (*)(int, const char*, int, ...)>(#name);                 \
        va_list args;                                                                              \
        va_start(args, flags);                                                                     \
        const mode_t mode = modeOf(flags, args);                                                   \
        va_end(args);                                                                              \
        return opensTarget(path) ? -1 : real(dir, path, flags, mode);                              \
    }
PELTO_OPENAT(openat)
PELTO_OPENAT(openat64)

ssize_t read(int fd, void* buffer, size_t count) {
    static const auto real = next<ssize_t (*)(int, void*, size_t)>("read");
    return readsTarget(fd) ? -1 : real(fd, buffer, count);
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    static const auto real = next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    hangIfAsked(fd, offset);
    return readsTarget(fd) ? -1 : real(fd, buffer, count, offset);
}

ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) {
    static const auto real = next<ssize_t (*)(int, void*, size_t, off_t)>("pread64");
    hangIfAsked(fd, offset);
    return readsTarget(fd) ? -1 : real(fd, buffer, count, offset);
}
}
