# The `wine` tests: the Win32 backends against Wine's registry, real windows in other processes
# and a COM local server. Every test runs under the toolchain's emulator (wine) inside one
# prefix in the build folder, set up by the fixture below.
include(GoogleTest)

set(TESSALY_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TESSALY_WINE_ENVIRONMENT
    WINEPREFIX=${TESSALY_WINEPREFIX}
    WINEARCH=win32
    WINEDEBUG=-all
    # No Mono or Gecko installer, no desktop menu entries.
    WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d)

add_test(NAME wine.fixture.start
         COMMAND ${TESSALY_WIN32_DIR}/wine-fixture start $<TARGET_FILE:tessaly-fake-itunes>)
add_test(NAME wine.fixture.stop COMMAND ${TESSALY_WIN32_DIR}/wine-fixture stop)
set_tests_properties(wine.fixture.start PROPERTIES FIXTURES_SETUP wine LABELS wine TIMEOUT 300
                     ENVIRONMENT "${TESSALY_WINE_ENVIRONMENT}")
set_tests_properties(wine.fixture.stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine
                     ENVIRONMENT "${TESSALY_WINE_ENVIRONMENT}")

add_library(tessaly_wine_support STATIC ${CMAKE_CURRENT_LIST_DIR}/WineSupport.cpp)
target_include_directories(tessaly_wine_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tessaly_wine_support PUBLIC GTest::gtest advapi32 user32)

# tessaly_add_wine_test(<name> LOCK <resource> SOURCES ... [LIBS ...])
# Each TEST/TEST_F becomes a ctest test; those sharing LOCK never run at the same time.
function(tessaly_add_wine_test name)
    cmake_parse_arguments(T "" "LOCK" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE tessaly_wine_support GTest::gtest_main ${T_LIBS})
    gtest_add_tests(TARGET ${name} SOURCES ${T_SOURCES} TEST_LIST tests)
    set_tests_properties(${tests} PROPERTIES LABELS wine FIXTURES_REQUIRED wine TIMEOUT 60
                         RESOURCE_LOCK ${T_LOCK} ENVIRONMENT "${TESSALY_WINE_ENVIRONMENT}")
endfunction()

set(dir ${CMAKE_CURRENT_LIST_DIR})
tessaly_add_wine_test(wine_publisher_tests LOCK wine_hkcu_yahoo
    SOURCES ${dir}/Win32RegistryTest.cpp ${dir}/Win32CodePageTest.cpp ${dir}/Win32MessengerTest.cpp
    LIBS tessaly_publisher_win32)
target_compile_definitions(wine_publisher_tests PRIVATE
    MESSENGER_STANDIN="$<TARGET_FILE:tessaly-messenger-standin>")
add_dependencies(wine_publisher_tests tessaly-messenger-standin)

tessaly_add_wine_test(wine_player_tests LOCK wine_fake_itunes
    SOURCES ${dir}/ITunesPlayerTest.cpp
    LIBS tessaly_watcher_win32)
add_dependencies(wine_player_tests tessaly-fake-itunes)

tessaly_add_wine_test(wine_shell_tests LOCK wine_tray
    SOURCES ${dir}/NotifyIconDataTest.cpp
    LIBS tessaly_shell_win32 shell32 user32)
