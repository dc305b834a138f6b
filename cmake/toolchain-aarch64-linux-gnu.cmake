# Cross build for Linux on aarch64 with Debian's cross compiler; test programs run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TRIPLE aarch64-linux-gnu)

set(CMAKE_C_COMPILER ${TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${TRIPLE}-g++)

# GoogleTest for this triple is built by ./dev setup into the git-ignored prefix beside the sources.
get_filename_component(_tamsel_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE} "${_tamsel_root}/.deps/${TRIPLE}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXPORT_NO_PACKAGE_REGISTRY ON)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/${TRIPLE})
