# What every test runs with: headless (offscreen Qt platform, SDL's dummy audio driver)
# and, in a sanitizer build, the sanitizers' options: any report fails the test, a
# leak included (the programs a test starts inherit them).
set(PELTO_TEST_ENVIRONMENT "QT_QPA_PLATFORM=offscreen" "SDL_AUDIODRIVER=dummy")
if(PELTO_SANITIZE)
    list(APPEND PELTO_TEST_ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()

# pelto_add_test(NAME SOURCES files... LIBS targets... [ENV k=v...] [TIMEOUT s] [LABELS l...])
# One QtTest executable registered with CTest, run with PELTO_TEST_ENVIRONMENT.
function(pelto_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
    target_compile_definitions(${name} PRIVATE
        PELTO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        PELTO_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "${PELTO_TEST_ENVIRONMENT};${T_ENV}")
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
