# Checks that every descriptor the program's own code creates is closed on exec, so a
# program it starts (a browser for a link, a helper of Qt's) inherits none of them:
# each call that makes one names a CLOEXEC flag in its statement, and the calls that
# take no flags (dup, pipe, fopen without "e", ...) are not used at all.
# Run as: cmake -DSRC=<folder of sources> -P CloseOnExec.cmake
set(with_flags "open|openat|pipe2|socket|socketpair|accept4|dup3|mkostemp|memfd_create|eventfd|inotify_init1|epoll_create1|signalfd|timerfd_create")
set(without_flags "pipe|accept|dup|dup2|fopen|fdopen|mkstemp|inotify_init|epoll_create|creat")
# A call: the name qualified by "::" alone, or bare after "=", "(" or "return".
set(call "((^|[^A-Za-z0-9_])::|(=|\\(|return)[ \t\n]*)")

file(GLOB_RECURSE sources "${SRC}/*.h" "${SRC}/*.cpp")
set(failures "")
foreach(source IN LISTS sources)
    file(READ "${source}" text)
    string(REGEX MATCHALL "${call}(${with_flags}|${without_flags})[ \t]*\\([^;]*" calls "${text}")
    foreach(statement IN LISTS calls)
        string(REGEX REPLACE "^${call}([A-Za-z0-9_]+).*$" "\\4" name "${statement}")
        string(REGEX REPLACE "\n.*$" "" shown "${statement}")
        if(name MATCHES "^(${without_flags})$")
            string(APPEND failures "  ${source}: ${name}() cannot close on exec: ${shown}\n")
        elseif(NOT statement MATCHES "CLOEXEC")
            string(APPEND failures "  ${source}: ${name}() without a CLOEXEC flag: ${shown}\n")
        endif()
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "Descriptors that a started program would inherit:\n${failures}")
endif()
