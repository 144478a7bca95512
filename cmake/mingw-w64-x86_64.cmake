# Cross-builds for 64-bit Windows with Debian's mingw-w64, posix thread model (std::thread
# needs it). libgcc, libstdc++ and winpthread are linked in statically, so the programs run
# on a plain Windows without extra DLLs.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The libraries the build needs from the host (GoogleTest's sources, the header-only CLI11
# and nlohmann-json) are brought in by cmake/windows-cross.cmake, never through the host's
# own CMake packages.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QL40_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${QL40_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QL40_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QL40_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QL40_MINGW_TRIPLE})
# A Qt built for Windows with mingw (make windows QT_WINDOWS_PREFIX=...) is searched too; its
# host tools come from the Linux Qt of the same version (QT_HOST_PATH).
if(QT_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${QT_WINDOWS_PREFIX})
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QT_WINDOWS_PREFIX)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C99 printf family (%zu, %lld) instead of the system's older one; libstdc++ asks for it
# too, this makes it hold for every file.
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
