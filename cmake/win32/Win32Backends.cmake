# The MinGW build: the Qt-free parts of Tessaly with their Win32 backends, the Windows stand-in
# tools and the GoogleTest suites that run them under Wine. Included by the top-level list when
# TESSALY_WIN32_BACKENDS_ONLY is on; the Linux build never reads it.
if(NOT WIN32)
    message(FATAL_ERROR "TESSALY_WIN32_BACKENDS_ONLY needs a Windows toolchain, "
                        "e.g. --preset mingw-i686")
endif()

set(TESSALY_SOURCE_ROOT ${CMAKE_CURRENT_SOURCE_DIR}/src)
set(TESSALY_WIN32_DIR ${CMAKE_CURRENT_LIST_DIR})

# GoogleTest from the system's sources, built by this toolchain and before our warning flags.
set(TESSALY_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
# Win32 threads: gtest's pthread detection would pick winpthreads' headers halfway.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TESSALY_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_compile_options(-Wall -Wextra -Werror)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# The status writer and its interfaces are standard C++; win32/ holds their Windows backends.
file(GLOB publisher_sources CONFIGURE_DEPENDS ${TESSALY_SOURCE_ROOT}/publisher/*.cpp
     ${TESSALY_SOURCE_ROOT}/publisher/win32/*.cpp)
add_library(tessaly_publisher_win32 STATIC ${publisher_sources})
target_include_directories(tessaly_publisher_win32 PUBLIC ${TESSALY_SOURCE_ROOT})
target_link_libraries(tessaly_publisher_win32 PUBLIC advapi32 user32)

file(GLOB watcher_sources CONFIGURE_DEPENDS ${TESSALY_SOURCE_ROOT}/watcher/win32/*.cpp)
if(watcher_sources)
    add_library(tessaly_watcher_win32 STATIC ${watcher_sources})
    target_include_directories(tessaly_watcher_win32 PUBLIC ${TESSALY_SOURCE_ROOT})
    target_link_libraries(tessaly_watcher_win32 PUBLIC ole32 oleaut32 uuid user32)
endif()

# The tray record builder is the one Qt-free part of the shell.
add_library(tessaly_shell_win32 STATIC ${TESSALY_SOURCE_ROOT}/shell/NotifyIconData.cpp)
target_include_directories(tessaly_shell_win32 PUBLIC ${TESSALY_SOURCE_ROOT})

include(${CMAKE_CURRENT_SOURCE_DIR}/tools/win32/win32-tools.cmake OPTIONAL)

enable_testing()
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/wine/wine-tests.cmake OPTIONAL)
