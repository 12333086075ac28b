#pragma once

// What the fault shims loaded into the real program with LD_PRELOAD share: the C
// library's own function of a name, the fault an environment variable asks for, and
// the path an open descriptor names. Header only, without Qt: the shims are built
// without sanitizers into modules of their own.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace pelto::test {

// The next definition of a C library function after the shim's own.
template <typename F> F nextDefinition(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

// Whether the environment variable holds exactly `value`.
inline bool environmentIs(const char* variable, const char* value) {
    const char* set = std::getenv(variable);
    return set && std::strcmp(set, value) == 0;
}

// The path an open descriptor names, into `path` of `size` bytes; false when it has none.
inline bool pathOfDescriptor(int fd, char* path, size_t size) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, path, size - 1);
    if (n <= 0)
        return false;
    path[n] = '\0';
    return true;
}

} // namespace pelto::test
