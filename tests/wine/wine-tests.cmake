# The Win32 backends' suites, each TEST a ctest test with label `wine`.
include(GoogleTest)

add_library(tessaly_wine_support STATIC ${CMAKE_CURRENT_LIST_DIR}/WineSupport.cpp)
target_include_directories(tessaly_wine_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tessaly_wine_support PUBLIC GTest::gtest advapi32 user32)

# tessaly_add_wine_test(<name> LOCK <resource> SOURCES ... [LIBS ...])
# Each TEST/TEST_F becomes a ctest test; those sharing LOCK never run at the same time.
function(tessaly_add_wine_test name)
    cmake_parse_arguments(T "" "LOCK" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_compile_options(${name} PRIVATE -Wall -Wextra -Werror)
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

# The 88-byte tray record is the 32-bit shell's; a 64-bit build has no such layout to check.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    tessaly_add_wine_test(wine_shell_tests LOCK wine_tray
        SOURCES ${dir}/NotifyIconDataTest.cpp
        LIBS tessaly_core shell32 user32)
endif()

# The real tessaly.exe, driven from outside; one at a time, as they share the fake iTunes and
# the settings key.
tessaly_add_wine_test(wine_e2e_tests LOCK wine_fake_itunes
    SOURCES ${dir}/e2e/TessalyExeTest.cpp
    LIBS tessaly_watcher_win32 ole32 oleaut32)
target_compile_definitions(wine_e2e_tests PRIVATE
    TESSALY_EXE="$<TARGET_FILE:tessaly>"
    FAKE_ITUNES="$<TARGET_FILE:tessaly-fake-itunes>"
    MESSENGER_STANDIN="$<TARGET_FILE:tessaly-messenger-standin>")
add_dependencies(wine_e2e_tests tessaly tessaly-fake-itunes tessaly-messenger-standin)

tessaly_add_wine_test(wine_shell_win32_tests LOCK wine_tessaly_scratch
    SOURCES ${dir}/ShellWin32Test.cpp
    LIBS tessaly_shell_win32 tessaly_watcher_win32 tessaly_common_win32)
# The popup windows in the test program itself; one at a time, since they watch the foreground.
tessaly_add_wine_test(wine_popup_tests LOCK wine_popup
    SOURCES ${dir}/Win32PopupTest.cpp
    LIBS tessaly_popup_win32)

include(${dir}/package/package-tests.cmake)
