# Windows: `cmake --install` lays out the program folder as the installer puts it into Program
# Files: the programs, help\ with the help pages and the three default band files beside them
# (the desktop program looks for both there), and for ql40win the Qt DLLs that windeployqt
# copies. `windows-installer` turns that folder into QL40Win-<version>-setup.exe with NSIS.

install(TARGETS ql40 RUNTIME DESTINATION .)

# The default band files are what `ql40 new` writes for each band, made by the program built
# here (under the emulator in a cross-build).
if(NOT CMAKE_CROSSCOMPILING OR CMAKE_CROSSCOMPILING_EMULATOR)
  set(QL40_DEFAULTS_DIR ${CMAKE_BINARY_DIR}/default-files)
  set(QL40_DEFAULT_FILES)
  file(MAKE_DIRECTORY ${QL40_DEFAULTS_DIR})
  foreach(band vhf:defaultv vhf-lo:defaultl uhf:defaultu)
    string(REPLACE ":" ";" pair ${band})
    list(GET pair 0 name)
    list(GET pair 1 file)
    # A bare file name in the working folder: under Wine a path that starts with / would read
    # as a Windows-style option.
    add_custom_command(OUTPUT ${QL40_DEFAULTS_DIR}/${file}.q40
                       COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:ql40> new --band
                               ${name} -o ${file}.q40
                       WORKING_DIRECTORY ${QL40_DEFAULTS_DIR} DEPENDS ql40 VERBATIM)
    list(APPEND QL40_DEFAULT_FILES ${QL40_DEFAULTS_DIR}/${file}.q40)
  endforeach()
  add_custom_target(ql40_default_files ALL DEPENDS ${QL40_DEFAULT_FILES})
  install(FILES ${QL40_DEFAULT_FILES} DESTINATION .)
else()
  message(STATUS "No Wine: the default band files and the installer are not built")
endif()

file(GLOB QL40_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/apps/ql40win/help/*)
install(FILES ${QL40_HELP_SOURCES} DESTINATION help)

if(TARGET ql40win)
  install(TARGETS ql40win RUNTIME DESTINATION .)
  # windeployqt comes with every Windows Qt, beside qmake; a cross-build runs it under Wine.
  get_target_property(QL40_QMAKE Qt6::qmake IMPORTED_LOCATION)
  get_filename_component(QL40_QT_BIN "${QL40_QMAKE}" DIRECTORY)
  find_program(QL40_WINDEPLOYQT NAMES windeployqt windeployqt.exe
               HINTS ${QL40_QT_BIN} ${QT_WINDOWS_PREFIX}/bin NO_CMAKE_FIND_ROOT_PATH)
  if(QL40_WINDEPLOYQT)
    set(QL40_DEPLOY_COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${QL40_WINDEPLOYQT} --release
        --no-translations --no-system-d3d-compiler --no-opengl-sw)
    list(JOIN QL40_DEPLOY_COMMAND "\" \"" QL40_DEPLOY_COMMAND)
    install(CODE "execute_process(COMMAND \"${QL40_DEPLOY_COMMAND}\"
                    \"\${CMAKE_INSTALL_PREFIX}/ql40win.exe\" COMMAND_ERROR_IS_FATAL ANY)")
  else()
    message(WARNING "windeployqt not found: the installed ql40win.exe will lack its Qt DLLs")
  endif()
endif()

find_program(QL40_MAKENSIS makensis)
if(QL40_MAKENSIS AND TARGET ql40_default_files)
  set(QL40_INSTALLER ${CMAKE_BINARY_DIR}/QL40Win-${PROJECT_VERSION}-setup.exe)
  add_custom_target(windows-installer
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSTAGE=${CMAKE_BINARY_DIR}/installer-stage
            -DMAKENSIS=${QL40_MAKENSIS} -DSCRIPT=${CMAKE_SOURCE_DIR}/packaging/windows/QL40Win.nsi
            -DVERSION=${PROJECT_VERSION} -DOUTFILE=${QL40_INSTALLER}
            -P ${CMAKE_SOURCE_DIR}/cmake/make-windows-installer.cmake
    DEPENDS ql40 ql40_default_files $<$<TARGET_EXISTS:ql40win>:ql40win> VERBATIM)
endif()
