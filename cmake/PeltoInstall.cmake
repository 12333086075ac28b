# What `cmake --install` lays out under the prefix, and the Debian package made of it
# (`cpack -G DEB` in the build folder: pelto_<major.minor>_<arch>.deb).

# The manual pages with the version and the date filled in, and the package's
# changelog, each compressed as Debian wants them: gzip -9 without a name or a time
# stamp (-n), so a build gives the same bytes every time.
set(PELTO_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(compressed "")
foreach(page pelto pelto-info)
    configure_file(${CMAKE_SOURCE_DIR}/data/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
    list(APPEND compressed ${CMAKE_BINARY_DIR}/man/${page}.1)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/data/debian/changelog ${CMAKE_BINARY_DIR}/doc/changelog COPYONLY)
list(APPEND compressed ${CMAKE_BINARY_DIR}/doc/changelog)
set(compressed_gz "")
foreach(file IN LISTS compressed)
    add_custom_command(OUTPUT ${file}.gz
        COMMAND gzip -9nkf ${file}
        DEPENDS ${file}
        COMMENT "Compressing ${file}")
    list(APPEND compressed_gz ${file}.gz)
endforeach()
add_custom_target(pelto_compressed_docs ALL DEPENDS ${compressed_gz})

install(TARGETS pelto pelto-info RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/skin/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pelto/skin)
install(FILES ${CMAKE_SOURCE_DIR}/data/pelto.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/pelto.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS PELTO_ICON_SIZES)
    install(FILES ${CMAKE_SOURCE_DIR}/data/icons/pelto-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME pelto.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/data/io.github.pelto.pelto.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/man/pelto.1.gz ${CMAKE_BINARY_DIR}/man/pelto-info.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The licence's full text is /usr/share/common-licenses/GPL-3 on Debian, which the
# copyright file names; LICENSE stays in the source.
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/data/debian/copyright
    ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelto)
# What lintian is told about the package, each with its reason.
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pelto)

set(CPACK_PACKAGE_NAME pelto)
set(CPACK_PACKAGE_VERSION "${PELTO_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small skinnable audio player with a Japanese interface")
# Lines under 80 columns, as Debian wants them.
set(CPACK_PACKAGE_DESCRIPTION "Pelto plays MPEG audio (mp3, mp2, mp1, rmp) and Wave files from a
playlist in a skinned window, with three lines of song information made from
the tags. One copy runs at a time: files opened again go to the running one,
and pelto --next, --play-pause and the like control it from the shell. It
offers itself to the desktop as an MPRIS 2 media player.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package carries the binaries without their debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The project has no mail address of its own yet: example.org (reserved, RFC 2606)
# reaches nobody, as localhost did, but is a host name lintian accepts. A distribution
# names its own maintainer here.
set(PELTO_PACKAGE_MAINTAINER "Pelto developers <pelto@example.org>" CACHE STRING
    "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PELTO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries come from dpkg-shlibdeps; what is loaded at run time without being
# linked (Qt's platform plugins, a Japanese font for the skins' texts) is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipaexfont-gothic | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
