# Cross-compiles the 32-bit Windows program, the one that ships, and runs its tests with Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSALY_MINGW_TRIPLET i686-w64-mingw32)
set(TESSALY_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
