# Cross-compiles the same Windows sources as 64-bit programs. They run under the 64-bit Wine
# loader on machines whose kernel cannot execute 32-bit programs, so that the Win32 code is still
# exercised under Wine there.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSALY_MINGW_TRIPLET x86_64-w64-mingw32)
set(TESSALY_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
