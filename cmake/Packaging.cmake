# Desktop integration, manual pages, shell completion and the Debian package of the Linux
# build. `make package` builds the package; tests/package checks what it installs.
if(NOT UNIX OR APPLE)
  return()
endif()

set(QL40_LINUX_DIR ${CMAKE_SOURCE_DIR}/packaging/linux)
set(QL40_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(QL40_APP_ID org.ql40win.QL40Win)
set(QL40_MAINTAINER "QL40Win maintainers <maintainers@ql40win.org>"
    CACHE STRING "The Maintainer field of the Debian package")

# The release date that goes into the metadata: the commit's date in a clone (so that the
# same commit always gives the same files), otherwise the day of the build.
if(GIT_FOUND AND ql40_commit)
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE ql40_epoch
                  ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(ql40_epoch)
  set(ENV{SOURCE_DATE_EPOCH} ${ql40_epoch})
endif()
string(TIMESTAMP QL40_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP QL40_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
unset(ENV{SOURCE_DATE_EPOCH})

configure_file(${QL40_LINUX_DIR}/${QL40_APP_ID}.metainfo.xml.in
               ${QL40_GENERATED_DIR}/${QL40_APP_ID}.metainfo.xml @ONLY)
configure_file(${QL40_LINUX_DIR}/changelog.in ${QL40_GENERATED_DIR}/doc/changelog @ONLY)

# Manual pages and the changelog are installed compressed, as Debian wants them.
set(QL40_COMPRESSED)
foreach(page ql40 ql40win ql40-radiosim)
  configure_file(${QL40_LINUX_DIR}/man/${page}.1 ${QL40_GENERATED_DIR}/man/${page}.1 @ONLY)
  list(APPEND QL40_COMPRESSED ${QL40_GENERATED_DIR}/man/${page}.1)
endforeach()
list(APPEND QL40_COMPRESSED ${QL40_GENERATED_DIR}/doc/changelog)
set(QL40_COMPRESSED_OUT)
foreach(file ${QL40_COMPRESSED})
  add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9nkf ${file} DEPENDS ${file} VERBATIM)
  list(APPEND QL40_COMPRESSED_OUT ${file}.gz)
endforeach()
add_custom_target(ql40_compressed_docs ALL DEPENDS ${QL40_COMPRESSED_OUT})

foreach(page ql40 ql40win ql40-radiosim)
  if(TARGET ${page})
    install(FILES ${QL40_GENERATED_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
install(FILES ${QL40_LINUX_DIR}/completion/ql40
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${QL40_LINUX_DIR}/copyright ${QL40_GENERATED_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ql40win)
# The shipped default band files are read-only on purpose (see apps/CMakeLists.txt).
install(FILES ${QL40_LINUX_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME ql40win)

if(TARGET ql40win)
  install(FILES ${QL40_LINUX_DIR}/ql40win.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${QL40_GENERATED_DIR}/${QL40_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${QL40_LINUX_DIR}/ql40win-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ql40win.xml)
  install(FILES ${QL40_LINUX_DIR}/icons/ql40win.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${QL40_LINUX_DIR}/icons/ql40win-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ql40win.png)
  endforeach()
endif()

# The Debian package. Its dependencies come from the binaries (dpkg-shlibdeps). There are no
# maintainer scripts: the menu, the file type and the icon caches are refreshed by the
# triggers of the packages that own them, and the package never adds anyone to a group.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ql40win)
set(CPACK_PACKAGE_VERSION ${QL40_VERSION})
set(CPACK_PACKAGE_VENDOR "QL40Win")
set(CPACK_PACKAGE_CONTACT ${QL40_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "programming software for PT-410 and PT-610 handheld radios")
# CPack puts the summary above this text as the first line of the Description field.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "QL40Win is the dealer and service programming software for the PT-410
and PT-610 handheld FM radios (VHF, VHF Lo Band and UHF). It reads a
radio's memory over the 9600-baud programming cable, edits channels and
settings, saves .q40 codeplug files, prints a report and programs the
radio again; for service work it aligns the radio.

The package holds the desktop program ql40win, the command line ql40
(scriptable, programs several radios at once) and the simulated radio
ql40-radiosim for trying everything without hardware.

To use a serial port your user must be in the dialout group
(sudo adduser USER dialout, then log in again); the package does not
change any group itself.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
