# The `wine` tests of the Windows build: the core's own suites (the same sources as the native
# `unit` label), and the Win32 backends against Wine's registry, real windows in other processes
# and a COM local server. Every test runs under the toolchain's emulator (wine) inside one prefix
# in the build folder, set up by the fixture below.

include(${PROJECT_SOURCE_DIR}/tools/win32/win32-tools.cmake)

enable_testing()

set(TESSALY_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(wine_arch win64)
    set(wine_server /usr/lib/wine/wineserver64)
else()
    set(wine_arch win32)
    set(wine_server /usr/lib/wine/wineserver32)
endif()
# WINELOADER and WINESERVER name the programs of this build's width; the fixture runs them too.
set(TESSALY_WINE_ENVIRONMENT
    WINEPREFIX=${TESSALY_WINEPREFIX}
    WINEARCH=${wine_arch}
    WINELOADER=${CMAKE_CROSSCOMPILING_EMULATOR}
    WINESERVER=${wine_server}
    WINEDEBUG=-all
    # No Mono or Gecko installer, no desktop menu entries.
    WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d)

# Every test program starts through wine-run, which starts it once more when Wine's loader ends
# before the program has written a line (and logs that it did).
if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSALY_WIN32_DIR}/wine-run ${TESSALY_WINE_LOADER})
endif()

add_test(NAME wine.fixture.start
         COMMAND ${TESSALY_WIN32_DIR}/wine-fixture start $<TARGET_FILE:tessaly-fake-itunes>)
add_test(NAME wine.fixture.stop COMMAND ${TESSALY_WIN32_DIR}/wine-fixture stop)
set_tests_properties(wine.fixture.start PROPERTIES FIXTURES_SETUP wine LABELS wine TIMEOUT 300
                     ENVIRONMENT "${TESSALY_WINE_ENVIRONMENT}")
set_tests_properties(wine.fixture.stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine
                     ENVIRONMENT "${TESSALY_WINE_ENVIRONMENT}")

# The core's suites: one ctest test per suite binary, run whole under Wine.
function(tessaly_add_core_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE tessaly_test_core ${T_LIBS})
    target_compile_options(${name} PRIVATE -Wall -Wextra -Werror)
    add_test(NAME wine.core.${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(wine.core.${name} PROPERTIES LABELS wine FIXTURES_REQUIRED wine
                         TIMEOUT 120 ENVIRONMENT "${TESSALY_WINE_ENVIRONMENT}")
endfunction()

include(${PROJECT_SOURCE_DIR}/tests/core-tests.cmake)
include(${PROJECT_SOURCE_DIR}/tests/wine/wine-tests.cmake)
