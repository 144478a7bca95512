# What a cross-build for Windows takes from the host, without the host's own CMake packages:
# GoogleTest built from Debian's source package, and the header-only CLI11 and nlohmann-json
# copied out of /usr/include (that folder itself must not reach the cross-compiler, or the
# host's C library headers would shadow the Windows ones). Package redirects answer the
# project's find_package() calls with these, so those calls stay as they are.
# The optimised build here meets GCC 12's impossible-bounds reports on vector growth
# (-Warray-bounds false positives, like the -Wrestrict ones): keep the warning, never fail on it.
target_compile_options(ql40_warnings INTERFACE -Wno-error=array-bounds)

set(QL40_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
foreach(dir CLI nlohmann)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/install-deps")
  endif()
  file(COPY /usr/include/${dir} DESTINATION ${QL40_HOST_HEADERS})
endforeach()

set(QL40_REDIRECTS ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR})
foreach(package CLI11 nlohmann_json)
  string(TOLOWER ${package} name)
  file(WRITE ${QL40_REDIRECTS}/${name}-config.cmake
       "if(NOT TARGET ${package}::${package})\n"
       "  add_library(${package}::${package} INTERFACE IMPORTED)\n"
       "  set_target_properties(${package}::${package} PROPERTIES\n"
       "    INTERFACE_INCLUDE_DIRECTORIES \"${QL40_HOST_HEADERS}\")\n"
       "endif()\n")
endforeach()
# The version the find_package() call asks for, from the header's own macros.
file(GLOB_RECURSE QL40_JSON_HEADERS /usr/include/nlohmann/*.hpp)
set(QL40_JSON_VERSION)
foreach(part MAJOR MINOR PATCH)
  foreach(header ${QL40_JSON_HEADERS})
    file(STRINGS ${header} line REGEX "^#define NLOHMANN_JSON_VERSION_${part} [0-9]+")
    if(line)
      string(REGEX REPLACE "^#define NLOHMANN_JSON_VERSION_${part} ([0-9]+).*" "\\1" number
             "${line}")
      list(APPEND QL40_JSON_VERSION ${number})
      break()
    endif()
  endforeach()
endforeach()
list(JOIN QL40_JSON_VERSION "." QL40_JSON_VERSION)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${QL40_REDIRECTS}/nlohmann_json-config-version.cmake
                                 VERSION ${QL40_JSON_VERSION} COMPATIBILITY SameMajorVersion
                                 ARCH_INDEPENDENT)

if(QL40_BUILD_TESTS)
  if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    message(FATAL_ERROR "/usr/src/googletest is missing: run scripts/install-deps")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Its own build defines the GTest:: targets.
  file(WRITE ${QL40_REDIRECTS}/gtest-config.cmake "# built from source in this tree\n")
endif()

# The tests run under Wine (scripts/wine-run), in a prefix of their own inside the build folder,
# made on first use.
find_program(QL40_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(QL40_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env
      WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix ${CMAKE_SOURCE_DIR}/scripts/wine-run)
endif()
