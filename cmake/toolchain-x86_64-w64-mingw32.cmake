# Cross build for Windows with MinGW-w64 (posix-thread compilers).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRIPLE}-windres)

# Libraries built by ./dev setup live in a git-ignored prefix beside the sources.
get_filename_component(_tamsel_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE} "${_tamsel_root}/.deps/${TRIPLE}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXPORT_NO_PACKAGE_REGISTRY ON)

# Windows test programs run through Wine in the project's private prefix.
if(CMAKE_HOST_UNIX)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${_tamsel_root}/tools/scripts/wine-run")
endif()
