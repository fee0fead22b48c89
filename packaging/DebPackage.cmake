# A Debian package of the installed program: `cpack -G DEB` in a build folder
# makes tarnovox_<version>_<arch>.deb with its dependencies read from the
# binaries (dpkg-shlibdeps), installed under /usr (the encoder library in
# /usr/lib/tarnovox, found through the program's RUNPATH).
set(TARNOVOX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tarnovox)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${TARNOVOX_DOC_DIR})
# Debian wants the changelog compressed, reproducibly (no name, no time stamp).
set(TARNOVOX_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${TARNOVOX_CHANGELOG_GZ}
  COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${TARNOVOX_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
set(TARNOVOX_MANUAL_GZ ${CMAKE_BINARY_DIR}/tarnovox.1.gz)
add_custom_command(OUTPUT ${TARNOVOX_MANUAL_GZ}
  COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/packaging/tarnovox.1 > ${TARNOVOX_MANUAL_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/tarnovox.1)
add_custom_target(tarnovox_docs ALL DEPENDS ${TARNOVOX_CHANGELOG_GZ} ${TARNOVOX_MANUAL_GZ})
install(FILES ${TARNOVOX_CHANGELOG_GZ} DESTINATION ${TARNOVOX_DOC_DIR})
install(FILES ${TARNOVOX_MANUAL_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnovox)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tarnovox developers <tarnovox@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sound recorder with live waveform, spectrum and level meters")
set(CPACK_PACKAGE_DESCRIPTION "Tarnovox records the default sound input to WAV, FLAC, Opus or MP3 while a live waveform,
a 32-band spectrum and level meters show what comes in. It lists, plays,
renames, deletes, converts and tags the recordings of its output folder and
answers the keys F5, F7 and F9 system-wide.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/tarnovox/tarnovox")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The encoder library is a private plug-in without a version of its own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
# FFmpeg is loaded at the first playback, so the binaries do not name it: its
# packages are those of the sonames the program asks for (libavformat59, ...).
pkg_check_modules(TARNOVOX_DEB_FFMPEG QUIET libavformat libavcodec libswresample libavutil)
set(tarnovox_loaded_packages)
foreach(lib avformat avcodec swresample avutil)
  string(REGEX MATCH "^[0-9]+" major "${TARNOVOX_DEB_FFMPEG_lib${lib}_VERSION}")
  if(major)
    list(APPEND tarnovox_loaded_packages "lib${lib}${major}")
  endif()
endforeach()
# The sound server's client library is loaded once the window is up, likewise.
list(APPEND tarnovox_loaded_packages libpulse0)
list(JOIN tarnovox_loaded_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_STRIP_FILES ON)
include(CPack)
