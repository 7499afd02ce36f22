# Cross-building for Windows with MinGW-w64 (posix thread model).
# DOVOVIZA_MINGW_ARCH picks the target: i686 (the shipped 32-bit program) or
# x86_64 (the same sources, for machines that cannot execute 32-bit code).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT DOVOVIZA_MINGW_ARCH)
  set(DOVOVIZA_MINGW_ARCH i686)
endif()
set(DOVOVIZA_MINGW_ARCH "${DOVOVIZA_MINGW_ARCH}" CACHE STRING "i686 or x86_64")
set(CMAKE_SYSTEM_PROCESSOR ${DOVOVIZA_MINGW_ARCH})
set(_triple ${DOVOVIZA_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
