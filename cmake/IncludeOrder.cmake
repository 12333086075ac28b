# Checks that the folders under src/ depend downward only: a file may include headers
# of its own folder and of folders below it, never of a folder beside or above it.
# Run as: cmake -DSRC=<source>/src -P IncludeOrder.cmake
#
# The order from the ground up. Folders that share a rank stand side by side and may
# not include each other.
set(rank_common 0)
set(rank_settings 1)
set(rank_audio 2)
set(rank_taginfo 3)
set(rank_playlist 4)
set(rank_skin 5)
set(rank_player 6)
set(rank_playlistwindow 7)
set(rank_tray 7)
set(rank_about 7)
set(rank_mpris 7)
set(rank_app 8)

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(failures "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" folder "${source}")
    if(NOT DEFINED rank_${folder})
        string(APPEND failures "  ${source}: the folder '${folder}' has no place in the order\n")
        continue()
    endif()
    file(STRINGS "${SRC}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*$" "\\1" target "${line}")
        if(target STREQUAL folder)
            continue()
        endif()
        if(NOT DEFINED rank_${target})
            string(APPEND failures "  ${source}: includes '${target}/', which is no folder of src/\n")
        elseif(NOT rank_${target} LESS rank_${folder})
            string(APPEND failures
                   "  ${source}: ${folder}/ may not include ${target}/ (beside or above it): ${line}\n")
        endif()
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "Includes against the folder order:\n${failures}")
endif()
list(LENGTH sources count)
message(STATUS "include order holds in ${count} files")
