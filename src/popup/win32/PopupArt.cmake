# The popup's pictures for the Windows program: each SVG of src/popup/art rendered at its design
# size on the build host (rsvg-convert, then tools/win32/png-to-bmp.py) and compiled into
# popup.rc. The background is an opaque 24-bit bitmap, the others 32-bit with alpha.

find_program(TESSALY_RSVG_CONVERT rsvg-convert)
if(NOT TESSALY_RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert (Debian package librsvg2-bin) renders the popup's pictures; "
                        "scripts/setup-wine installs it")
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(art_source ${CMAKE_CURRENT_SOURCE_DIR}/art)
set(art_dir ${CMAKE_CURRENT_BINARY_DIR}/win32-art)
set(png_to_bmp ${PROJECT_SOURCE_DIR}/tools/win32/png-to-bmp.py)
file(MAKE_DIRECTORY ${art_dir})

# name width height [--24]
set(popup_pictures
    "background 250 117 --24" "back_normal 16 16" "back_hover 16 16" "pause_normal 21 21"
    "pause_hover 21 21" "forward_normal 16 16" "forward_hover 16 16" "close_normal 15 16"
    "close_hover 14 15" "pointer 32 32")
set(popup_bitmaps)
foreach(entry IN LISTS popup_pictures)
    separate_arguments(fields UNIX_COMMAND "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 width)
    list(GET fields 2 height)
    set(depth)
    list(LENGTH fields count)
    if(count GREATER 3)
        list(GET fields 3 depth)
    endif()
    add_custom_command(
        OUTPUT ${art_dir}/${name}.bmp
        COMMAND ${TESSALY_RSVG_CONVERT} -w ${width} -h ${height} -o ${art_dir}/${name}.png
                ${art_source}/${name}.svg
        COMMAND Python3::Interpreter ${png_to_bmp} ${depth} ${art_dir}/${name}.png
                ${art_dir}/${name}.bmp
        DEPENDS ${art_source}/${name}.svg ${png_to_bmp}
        COMMENT "Rendering the popup picture ${name}.bmp"
        VERBATIM)
    list(APPEND popup_bitmaps ${art_dir}/${name}.bmp)
endforeach()

add_library(tessaly_popup_win32_resources OBJECT win32/popup.rc ${popup_bitmaps})
set_source_files_properties(${popup_bitmaps} PROPERTIES HEADER_FILE_ONLY ON)
set_source_files_properties(win32/popup.rc PROPERTIES OBJECT_DEPENDS "${popup_bitmaps}")
target_include_directories(tessaly_popup_win32_resources PRIVATE ${art_dir}
                           ${CMAKE_CURRENT_SOURCE_DIR}/win32)
