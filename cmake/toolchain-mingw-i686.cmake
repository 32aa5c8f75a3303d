# 32-bit Windows with MinGW-w64, the posix thread model (std::thread and std::mutex need
# it) and a static runtime, so the programs and the driver libraries need no DLL beyond
# the system's. Test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(VELLORAN_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VELLORAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELLORAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELLORAN_MINGW_TRIPLE}-windres)
# Resource scripts are UTF-8 (Japanese strings and font names).
set(CMAKE_RC_FLAGS_INIT "--codepage=65001")

set(CMAKE_FIND_ROOT_PATH /usr/${VELLORAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(VELLORAN_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${VELLORAN_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${VELLORAN_STATIC_RUNTIME}")

find_program(VELLORAN_WINE wine)
if(VELLORAN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VELLORAN_WINE})
endif()
