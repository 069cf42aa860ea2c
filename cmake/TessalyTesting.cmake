include(GoogleTest)

# tessaly_add_test(<name> LABEL <unit|gui|bus|x11|...> SOURCES ... [LIBS ...] [ENVIRONMENT ...])
# A front-end or backend suite: one QApplication main (offscreen unless a display is given).
# `unit` here is for backends that need neither display nor bus (the hive, files).
# Every test case becomes a ctest test with that label.
function(tessaly_add_test name)
    cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    if(NOT T_LABEL)
        message(FATAL_ERROR "tessaly_add_test(${name}): LABEL is required")
    endif()
    add_executable(${name} ${T_SOURCES})
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${name} PRIVATE tessaly_test_support ${T_LIBS})
    # Discovery runs when ctest starts, not at build time: the binaries need a bus or a display.
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS ${T_LABEL} ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()

# tessaly_add_core_test(<name> SOURCES ... [LIBS ...])
# A suite of the toolkit-free core: links the core and GoogleTest only, no Qt, no display, no
# bus. Label `unit` here; the MinGW build runs the same suites under Wine.
function(tessaly_add_core_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE tessaly_test_core ${T_LIBS})
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS unit)
endfunction()
