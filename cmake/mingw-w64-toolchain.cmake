# Cross-compiling for Windows with Debian's MinGW-w64 (posix thread model).
# QRC_ARCH chooses the target: x86_64 (64-bit, the default) or i686 (32-bit).
set(QRC_ARCH x86_64 CACHE STRING "Target architecture: x86_64 or i686")
set_property(CACHE QRC_ARCH PROPERTY STRINGS x86_64 i686)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QRC_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QRC_ARCH})
set(TOOLCHAIN_PREFIX ${QRC_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every Windows program built here runs under Wine through this wrapper, with the loader
# of its bitness.
if(QRC_ARCH STREQUAL i686)
  set(QRC_WINE_LOADER /usr/lib/wine/wine)
else()
  set(QRC_WINE_LOADER /usr/lib/wine/wine64)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR env QRC_WINE_LOADER=${QRC_WINE_LOADER} ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
