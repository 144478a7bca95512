# The program's version, decided here once: the project version, and for a build from a clone
# that is not exactly the release tag v<project version>, the commits since that tag (or since
# the start, before the first tag) and the commit itself: 1.25.1+12.g1a2b3c4. Debian orders
# such a version after the release it builds on. The result is QL40_VERSION, used by the
# programs' --version, the About box and the packages; PROJECT_VERSION stays the release.
set(QL40_VERSION ${PROJECT_VERSION})
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short=7 HEAD
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE ql40_commit
                  RESULT_VARIABLE ql40_git_status ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(GIT_FOUND AND ql40_git_status EQUAL 0 AND ql40_commit)
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --tags --long --match "v${PROJECT_VERSION}"
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE ql40_describe
                  RESULT_VARIABLE ql40_describe_status ERROR_QUIET
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(ql40_describe_status EQUAL 0 AND ql40_describe MATCHES "-([0-9]+)-g[0-9a-f]+$")
    set(ql40_since ${CMAKE_MATCH_1})
  else()
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE ql40_since
                    ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  if(NOT ql40_since STREQUAL "0")
    set(QL40_VERSION "${PROJECT_VERSION}+${ql40_since}.g${ql40_commit}")
  endif()
  # A new commit or a checkout reconfigures, so the version never lags behind the sources.
  foreach(ref HEAD packed-refs)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${ref}
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE ql40_ref_file
                    ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    list(APPEND ql40_ref_files ${ql40_ref_file})
  endforeach()
  execute_process(COMMAND ${GIT_EXECUTABLE} symbolic-ref -q HEAD
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE ql40_branch
                  ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(ql40_branch)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${ql40_branch}
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE ql40_ref_file
                    ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    list(APPEND ql40_ref_files ${ql40_ref_file})
  endif()
  foreach(file ${ql40_ref_files})
    if(NOT IS_ABSOLUTE ${file})
      set(file ${CMAKE_SOURCE_DIR}/${file})
    endif()
    if(EXISTS ${file})
      set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    endif()
  endforeach()
endif()
message(STATUS "QL40Win version ${QL40_VERSION}")

# Only the three programs' main files include this header, so a new commit rebuilds little.
configure_file(${CMAKE_CURRENT_LIST_DIR}/ql40_version.h.in
               ${CMAKE_BINARY_DIR}/generated/ql40_version.h @ONLY)
