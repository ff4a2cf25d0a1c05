# Cross toolchain for the Windows build: MinGW-w64, posix thread model.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NUDGELET_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${NUDGELET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NUDGELET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${NUDGELET_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NUDGELET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No MinGW runtime DLL may be needed at run time. Sections lie in the file as
# they lie in memory, so that a loader can map the image instead of copying it
# whole into the process: Wine copies an image aligned to 512 bytes, which
# costs every process its full size in memory.
set(_nudgelet_link "-static -static-libgcc -static-libstdc++ -Wl,--file-alignment=4096")
set(CMAKE_EXE_LINKER_FLAGS_INIT    "${_nudgelet_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_nudgelet_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_nudgelet_link}")
