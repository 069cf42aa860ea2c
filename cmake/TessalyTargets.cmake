# The three kinds of library the program is made of. Every one gets the project's warnings and
# includes headers as "watcher/Module1.h", "common/qt/Logging.h", ...

function(tessaly_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(TESSALY_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# tessaly_core_library(<name> SOURCES ...): toolkit-free rules, standard C++ only. An object
# library that tessaly_core gathers; it may not link anything.
function(tessaly_core_library name)
    cmake_parse_arguments(L "" "" "SOURCES" ${ARGN})
    add_library(${name} OBJECT ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${TESSALY_SOURCE_ROOT})
    target_compile_features(${name} PUBLIC cxx_std_20)
    set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
    tessaly_warnings(${name})
    set_property(GLOBAL APPEND PROPERTY TESSALY_CORE_PARTS ${name})
endfunction()

# tessaly_edge_library(<name> SOURCES ... [LIBS ...] [QT]): a front-end or backend on top of the
# core. QT turns on moc and rcc and Qt's stricter string rules.
function(tessaly_edge_library name)
    cmake_parse_arguments(L "QT" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${TESSALY_SOURCE_ROOT})
    target_link_libraries(${name} PUBLIC tessaly_core ${L_LIBS})
    if(L_QT)
        set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
        target_compile_definitions(${name} PRIVATE QT_NO_KEYWORDS QT_USE_QSTRINGBUILDER)
    else()
        set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF)
    endif()
    tessaly_warnings(${name})
endfunction()
