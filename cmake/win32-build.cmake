# Builds the Windows half of this source tree with the mingw-w64 toolchain as a
# sub-build of the native one, so one configure and one ctest cover both.
include(ExternalProject)

set(WIN32_BINARY_DIR ${CMAKE_BINARY_DIR}/win32)
set(WIN32_BIN_DIR ${WIN32_BINARY_DIR}/bin)

# Forward every ZV_* value so the programs are built with this build's values.
set(_zv_args "")
get_cmake_property(_vars CACHE_VARIABLES)
foreach(_v IN LISTS _vars)
  if(_v MATCHES "^ZV_" AND NOT _v STREQUAL "ZV_SANITIZE")
    list(APPEND _zv_args "-D${_v}=${${_v}}")
  endif()
endforeach()

ExternalProject_Add(win32
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${WIN32_BINARY_DIR}
  DEPENDS program_icon
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=Release ${_zv_args} -DZV_PROGRAM_ICON=${ZV_PROGRAM_ICON}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

# The folder for Windows users and its zip, in <build>/release: the programs
# of this build (and its values), stripped copies.
find_program(ZV_MINGW_STRIP NAMES i686-w64-mingw32-strip REQUIRED)
add_custom_target(release
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/release/package.py --bin ${WIN32_BIN_DIR}
          --version ${PROJECT_VERSION} --out ${CMAKE_BINARY_DIR}/release --strip ${ZV_MINGW_STRIP}
  DEPENDS win32
  COMMENT "Making the release folder and zip"
  VERBATIM)
