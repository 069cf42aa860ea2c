# What a Windows user downloads: the NSIS installer tessaly-<version>-setup.exe and the portable
# tessaly-<version>-win32.zip, both built with the program (target tessaly-packages).

find_program(TESSALY_MAKENSIS makensis)
if(NOT TESSALY_MAKENSIS)
    message(FATAL_ERROR "makensis not found: scripts/setup-wine installs nsis")
endif()

set(TESSALY_WIN32_NSIS ${CMAKE_CURRENT_LIST_DIR}/tessaly.nsi)
# The installer has the program's width: the shipped 32-bit one, or the 64-bit one the tests run
# where no 32-bit program runs.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TESSALY_NSIS_TARGET amd64-unicode)
else()
    set(TESSALY_NSIS_TARGET x86-unicode)
endif()
get_target_property(TESSALY_WIN32_ICON tessaly_app_resources TESSALY_ICON)

# README and LICENSE as text files with CR LF line ends, which every Windows editor shows.
set(TESSALY_WIN32_DOCS ${CMAKE_BINARY_DIR}/package-docs)
foreach(doc IN ITEMS README.md LICENSE)
    file(READ ${PROJECT_SOURCE_DIR}/${doc} text)
    string(REPLACE "\n" "\r\n" text "${text}")
    get_filename_component(stem ${doc} NAME_WE)
    file(WRITE ${TESSALY_WIN32_DOCS}/${stem}.txt.new "${text}")
    # Rewritten only when changed, so an unchanged README rebuilds nothing.
    configure_file(${TESSALY_WIN32_DOCS}/${stem}.txt.new ${TESSALY_WIN32_DOCS}/${stem}.txt COPYONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${doc})
endforeach()

# tessaly_win32_package(<exe target> DIR <folder> NAME <base name> TARGET <target> [ALL])
# Builds <folder>/<base name>-setup.exe and <folder>/<base name>-win32.zip with the exe (stripped)
# as tessaly.exe, README.txt and LICENSE.txt.
function(tessaly_win32_package exe)
    cmake_parse_arguments(P "ALL" "DIR;NAME;TARGET" "" ${ARGN})
    set(stage ${P_DIR}/${P_NAME}-stage)
    set(files ${stage}/Tessaly/tessaly.exe ${stage}/Tessaly/README.txt ${stage}/Tessaly/LICENSE.txt)
    add_custom_command(OUTPUT ${files}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/Tessaly
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${exe}> ${stage}/Tessaly/tessaly.exe
        # Shipped without symbols or debug information, whatever the build type.
        COMMAND ${CMAKE_STRIP} ${stage}/Tessaly/tessaly.exe
        COMMAND ${CMAKE_COMMAND} -E copy ${TESSALY_WIN32_DOCS}/README.txt
                ${TESSALY_WIN32_DOCS}/LICENSE.txt ${stage}/Tessaly
        DEPENDS ${exe} ${TESSALY_WIN32_DOCS}/README.txt ${TESSALY_WIN32_DOCS}/LICENSE.txt
        COMMENT "Staging ${P_NAME}" VERBATIM)

    set(setup ${P_DIR}/${P_NAME}-setup.exe)
    add_custom_command(OUTPUT ${setup}
        COMMAND ${TESSALY_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${stage}/Tessaly
                -DICON=${TESSALY_WIN32_ICON} -DOUTFILE=${setup} -DTARGET=${TESSALY_NSIS_TARGET}
                ${TESSALY_WIN32_NSIS}
        DEPENDS ${files} ${TESSALY_WIN32_NSIS} ${TESSALY_WIN32_ICON}
        COMMENT "Building the installer ${P_NAME}-setup.exe" VERBATIM)

    set(zip ${P_DIR}/${P_NAME}-win32.zip)
    add_custom_command(OUTPUT ${zip}
        COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
        COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Tessaly
        WORKING_DIRECTORY ${stage}
        DEPENDS ${files}
        COMMENT "Building the portable ${P_NAME}-win32.zip" VERBATIM)

    set(all)
    if(P_ALL)
        set(all ALL)
    endif()
    add_custom_target(${P_TARGET} ${all} DEPENDS ${setup} ${zip})
endfunction()

tessaly_win32_package(tessaly ALL DIR ${CMAKE_BINARY_DIR} NAME tessaly-${PROJECT_VERSION}
                      TARGET tessaly-packages)
