# What `cmake --install` lays out under the prefix, and the Debian package made of it
# (`cpack -G DEB` in the build folder: pelto_<major.minor>_<arch>.deb).

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
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelto)

set(CPACK_PACKAGE_NAME pelto)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small skinnable audio player with a Japanese interface")
set(CPACK_PACKAGE_DESCRIPTION "Pelto plays MPEG audio (mp3, mp2, mp1, rmp) and Wave files \
from a playlist in a skinned window, with three lines of song information made from the tags.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package carries the binaries without their debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pelto developers <pelto@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries come from dpkg-shlibdeps; what is loaded at run time without being
# linked (Qt's platform plugins, a Japanese font for the skins' texts) is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipaexfont-gothic | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
