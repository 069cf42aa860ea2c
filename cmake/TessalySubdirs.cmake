# Adds every direct subfolder of the current folder that carries a CMakeLists.txt, in name order,
# so that each subsystem's tests, tools and benchmarks stay self-contained.
function(tessaly_add_subdirectories)
    cmake_parse_arguments(S "" "" "EXCLUDE" ${ARGN})
    file(GLOB lists LIST_DIRECTORIES false CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt ${CMAKE_CURRENT_SOURCE_DIR}/*/*/CMakeLists.txt)
    list(SORT lists)
    foreach(list IN LISTS lists)
        get_filename_component(dir ${list} DIRECTORY)
        file(RELATIVE_PATH rel ${CMAKE_CURRENT_SOURCE_DIR} ${dir})
        # A folder whose parent has its own CMakeLists.txt is added by that parent.
        get_filename_component(parent ${rel} DIRECTORY)
        if(parent AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${parent}/CMakeLists.txt)
            continue()
        endif()
        if(NOT rel IN_LIST S_EXCLUDE)
            add_subdirectory(${rel})
        endif()
    endforeach()
endfunction()
