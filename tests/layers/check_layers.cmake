cmake_minimum_required(VERSION 3.25)
# Fails when a source file includes a folder above its own layer. Run with
#   cmake -DSOURCE_DIR=<src> -P check_layers.cmake
#
#   app                                   start-up, the window's lifetime
#   popup, config, config/pages, tray,    the pop-up and paste, the configuration window and its pages, tray,
#   auxiliary                             the small windows: tip of the day, about box, new-version check
#   config/dialogs                        the dialogs the pages open
#   config/tree                           the collection as a tree the pages show, and its editing rules
#   capture                               clipboard capture
#   platform/x11, platform/wayland,       the desktop seam's implementations (the Wayland one shares the
#   platform/qt                           accessibility-bus part of the X11 one, both the Qt basics)
#   settings                              options and their file
#   store                                 the collection and its files
#   richtext, platform                    RTF codec and rich-text control; the seam's interfaces
#   common                                pieces every layer uses
set(allowed_common   common)
set(allowed_richtext common richtext)
set(allowed_platform common platform)
set(allowed_store    common store)
set(allowed_settings common store settings)
set(allowed_platform_x11 common platform platform/qt platform/x11)
set(allowed_platform_wayland common platform platform/qt platform/x11 platform/wayland)
set(allowed_platform_qt  common platform platform/qt)
set(allowed_capture  common store settings richtext platform capture)
set(allowed_popup    common store settings richtext platform capture popup)
set(allowed_config   common store settings richtext platform capture config config/tree config/pages config/dialogs)
set(allowed_config_tree  common store settings richtext platform config/tree)
set(allowed_config_dialogs common store settings richtext platform capture config/tree config/dialogs)
set(allowed_config_pages common store settings richtext platform capture config config/tree config/pages config/dialogs)
set(allowed_tray     common store settings platform capture tray)
set(allowed_auxiliary common store settings richtext platform capture config/dialogs auxiliary)
set(allowed_app      common store settings richtext platform platform/x11 platform/wayland platform/qt capture popup config config/tree config/pages config/dialogs tray auxiliary app)

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(violations "")
foreach(source IN LISTS sources)
    get_filename_component(folder "${source}" DIRECTORY)
    string(REPLACE "/" "_" layer "${folder}")
    if(NOT DEFINED allowed_${layer})
        list(APPEND violations "${source}: the folder ${folder} has no layer")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include \"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" target "${line}")
        get_filename_component(target_folder "${target}" DIRECTORY)
        if(target_folder STREQUAL "")
            list(APPEND violations "${source}: \"${target}\" names no folder")
        elseif(NOT target_folder IN_LIST allowed_${layer})
            list(APPEND violations "${source}: ${folder} may not include ${target}")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n" report)
    message(FATAL_ERROR "Layer violations:\n${report}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep to their layers")
