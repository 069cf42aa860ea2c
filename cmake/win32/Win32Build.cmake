# The Windows toolchain's settings, read by the top-level list when building for Windows
# (preset mingw-i686): GoogleTest from the system's sources and the Win32 API's switches.

set(TESSALY_WIN32_DIR ${CMAKE_CURRENT_LIST_DIR})

# GoogleTest from the system's sources, built by this toolchain and before our warning flags.
set(TESSALY_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Win32 threads: gtest's pthread detection would pick winpthreads' headers halfway.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TESSALY_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
endif()

# Resource scripts (windres): the pictures of the popup, the program's icon and version.
enable_language(RC)

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
