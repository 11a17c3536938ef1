# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads,
# which std::thread and Qt need).
#
# Libraries built for Windows are looked up only below CMAKE_FIND_ROOT_PATH:
# the MinGW sysroot plus whatever the caller adds (the cross-built Qt, GoogleTest
# and freexl), so no Linux library is picked up by mistake. Host programs
# (moc, uic, rcc come from the Linux Qt through QT_HOST_PATH) are found on the
# host as usual.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(REBOUND_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${REBOUND_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${REBOUND_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${REBOUND_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${REBOUND_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${REBOUND_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_STRIP ${REBOUND_MINGW_TRIPLET}-strip CACHE FILEPATH "")

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${REBOUND_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
