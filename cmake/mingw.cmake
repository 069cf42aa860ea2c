# Shared part of the MinGW-w64 cross toolchains (POSIX threads); the including file sets
# TESSALY_MINGW_TRIPLET, CMAKE_SYSTEM_PROCESSOR and TESSALY_WINE_LOADER.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TESSALY_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSALY_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSALY_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSALY_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: Wine (and a Windows machine) then needs no MinGW DLLs on its path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The loader itself, not /usr/bin/wine: that script always prefers the 32-bit loader once it is
# installed, even where the kernel cannot execute it.
if(EXISTS ${TESSALY_WINE_LOADER})
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSALY_WINE_LOADER})
endif()
