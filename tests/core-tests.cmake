# The folders whose suites test the toolkit-free core alone: built by both toolchains, run
# natively (label unit) and under Wine (label wine).
set(TESSALY_CORE_TEST_DIRS
    common/unit
    popup/unit
    publisher/unit
    shell/unit
    watcher/status
    watcher/unit)

# The core suites' own support: GoogleTest's main and small standard-C++ helpers.
add_library(tessaly_test_core STATIC ${CMAKE_CURRENT_LIST_DIR}/support/core/CoreTestText.h
            ${CMAKE_CURRENT_LIST_DIR}/support/core/CoreTestText.cpp)
target_include_directories(tessaly_test_core PUBLIC ${CMAKE_CURRENT_LIST_DIR}
                           ${TESSALY_SOURCE_ROOT})
target_link_libraries(tessaly_test_core PUBLIC tessaly_core GTest::gtest GTest::gtest_main
                      GTest::gmock)

foreach(dir IN LISTS TESSALY_CORE_TEST_DIRS)
    if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${dir}/CMakeLists.txt)
        add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/${dir} ${CMAKE_BINARY_DIR}/tests/${dir})
    endif()
endforeach()
