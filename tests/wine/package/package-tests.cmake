# The Windows program's resources and packages: tessaly.exe's icon, version and manifest read
# the way Windows reads them, and the installer and zip built from it.
set(package_tests ${CMAKE_CURRENT_LIST_DIR})

tessaly_add_wine_test(wine_app_resources_tests LOCK wine_app_resources
    SOURCES ${package_tests}/AppResourcesTest.cpp
    LIBS version)
target_compile_definitions(wine_app_resources_tests PRIVATE TESSALY_EXE="$<TARGET_FILE:tessaly>")
add_dependencies(wine_app_resources_tests tessaly)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(width x86_64)
else()
    set(width i686)
endif()

# What each package holds, read with 7-Zip on this machine.
set(base ${CMAKE_BINARY_DIR}/tessaly-${PROJECT_VERSION})
add_test(NAME wine.package.contents
         COMMAND ${package_tests}/check-package-contents ${base}-setup.exe ${base}-win32.zip
                 $<TARGET_FILE:tessaly> ${CMAKE_STRIP})
# A 32-bit installer runs only where the kernel executes 32-bit programs; elsewhere the test
# says so and counts as skipped. The 64-bit build's installer runs under wine64.
add_test(NAME wine.package.install
         COMMAND ${package_tests}/install-with-wine ${base}-setup.exe
                 ${CMAKE_CURRENT_BINARY_DIR}/install-prefix ${width})
set_tests_properties(wine.package.contents wine.package.install PROPERTIES LABELS wine
                     TIMEOUT 300)
set_tests_properties(wine.package.install PROPERTIES SKIP_RETURN_CODE 77)
