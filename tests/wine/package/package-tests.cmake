# The Windows program's resources and packages: checked on a stand-in exe that carries the same
# resources (and on tessaly.exe where it is built), and on the installer and zip built from it.
set(package_tests ${CMAKE_CURRENT_LIST_DIR})

add_executable(tessaly-placeholder WIN32 ${package_tests}/Placeholder.cpp)
target_compile_options(tessaly-placeholder PRIVATE -Wall -Wextra -Werror)
target_link_libraries(tessaly-placeholder PRIVATE tessaly_app_resources)

tessaly_add_wine_test(wine_app_resources_tests LOCK wine_app_resources
    SOURCES ${package_tests}/AppResourcesTest.cpp
    LIBS version)
target_compile_definitions(wine_app_resources_tests PRIVATE
    PLACEHOLDER_EXE="$<TARGET_FILE:tessaly-placeholder>")
add_dependencies(wine_app_resources_tests tessaly-placeholder)
if(TARGET tessaly)
    target_compile_definitions(wine_app_resources_tests PRIVATE TESSALY_EXE="$<TARGET_FILE:tessaly>")
    add_dependencies(wine_app_resources_tests tessaly)
endif()

# The installer script and the zip, built around the stand-in.
set(placeholder_packages ${CMAKE_CURRENT_BINARY_DIR}/placeholder-packages)
tessaly_win32_package(tessaly-placeholder ALL DIR ${placeholder_packages} NAME placeholder
                      TARGET tessaly-placeholder-packages)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(width x86_64)
else()
    set(width i686)
endif()

# What each package holds, read with 7-Zip on this machine.
set(package_sets "placeholder|${placeholder_packages}/placeholder|$<TARGET_FILE:tessaly-placeholder>")
if(TARGET tessaly)
    list(APPEND package_sets "tessaly|${CMAKE_BINARY_DIR}/tessaly-${PROJECT_VERSION}|$<TARGET_FILE:tessaly>")
endif()
foreach(set IN LISTS package_sets)
    string(REPLACE "|" ";" parts "${set}")
    list(GET parts 0 name)
    list(GET parts 1 base)
    list(GET parts 2 exe)
    add_test(NAME wine.package.${name}.contents
             COMMAND ${package_tests}/check-package-contents ${base}-setup.exe ${base}-win32.zip ${exe}
                     ${CMAKE_STRIP})
    # A 32-bit installer runs only where the kernel executes 32-bit programs; elsewhere the test
    # says so and counts as skipped. The 64-bit build's installer runs under wine64.
    add_test(NAME wine.package.${name}.install
             COMMAND ${package_tests}/install-with-wine ${base}-setup.exe
                     ${CMAKE_CURRENT_BINARY_DIR}/install-${name}-prefix ${width})
    set_tests_properties(wine.package.${name}.contents wine.package.${name}.install PROPERTIES
                         LABELS wine TIMEOUT 300)
    set_tests_properties(wine.package.${name}.install PROPERTIES SKIP_RETURN_CODE 77)
endforeach()
