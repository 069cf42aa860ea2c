include(GoogleTest)

# tessaly_add_test(<name> LABEL <unit|gui|bus|x11> SOURCES ... [LIBS ...] [ENVIRONMENT ...])
# One executable per subsystem and label; every test case becomes a ctest test with that label.
function(tessaly_add_test name)
    cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    if(NOT T_LABEL)
        message(FATAL_ERROR "tessaly_add_test(${name}): LABEL is required")
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE tessaly_test_support ${T_LIBS})
    # Discovery runs when ctest starts, not at build time: the binaries need a bus or a display.
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS ${T_LABEL} ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()
