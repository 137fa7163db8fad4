# Fails when a source of the program includes a header of a layer it may not depend on.
#
#   cmake -DSOURCE_DIR=<top folder> -P check_layers.cmake
#
# The folders of src/ form layers that point one way: platform, framework and the engine link
# at the bottom, the shared layer above them, the window libraries above that, and app (with
# src/main.cpp) on top, where the window kinds are joined together. A window library may use
# another window library only where the table below says so; everything else goes through the
# seams of the shared layer. The engine is reached through its libraries' public headers
# (vantrel/include/vantrel/*.h), never its inside. A folder without a row fails, so a new
# window kind gets its row when it is added (docs/ARCHITECTURE.md).

cmake_minimum_required(VERSION 3.22)

# folder | the src/ folders its files may include besides their own
set(rules
    "platform|"
    "framework|platform"
    "engine|platform"
    "shared|engine framework platform"
    "channel|shared engine framework platform"
    "stories|channel shared engine framework platform"
    "browser|shared engine framework platform"
    "search|stories shared engine framework platform"
    "directory|channel shared engine framework platform"
    "status|shared engine framework platform"
    "navbar|shared engine framework platform"
    "publishing|browser shared engine framework platform"
    "app|channel stories browser search directory status navbar publishing shared engine framework platform"
    "main|app channel stories browser search directory status navbar publishing shared engine framework platform")
# The folders that may include the engine libraries' headers, and those that may include the
# program's resources.
set(engine_users engine shared channel stories browser search directory status navbar publishing app main)
set(resource_users main)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<top folder> -P check_layers.cmake")
endif()

foreach(rule IN LISTS rules)
    string(REPLACE "|" ";" parts "${rule}")
    list(GET parts 0 folder)
    list(LENGTH parts count)
    set(allowed_${folder} "")
    if(count GREATER 1)
        list(GET parts 1 targets)
        string(REPLACE " " ";" allowed_${folder} "${targets}")
    endif()
    set(known_${folder} TRUE)
endforeach()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.h")
set(bad "")
set(checked 0)
foreach(source IN LISTS sources)
    if(source MATCHES "^([^/]+)/")
        set(folder "${CMAKE_MATCH_1}")
    else()
        set(folder main)
    endif()
    if(NOT known_${folder})
        list(APPEND bad "src/${source}: the folder ${folder} has no row in the layer table")
        continue()
    endif()
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${SOURCE_DIR}/src/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "include[ \t]*\"([^\"]+)\"")
            continue()
        endif()
        set(header "${CMAKE_MATCH_1}")
        if(header MATCHES "^src/([^/]+)/")
            set(target "${CMAKE_MATCH_1}")
            if(NOT target STREQUAL folder AND NOT target IN_LIST allowed_${folder})
                string(REPLACE ";" " " shown "${allowed_${folder}}")
                list(APPEND bad "src/${source}: ${header} (${folder} may include: ${shown})")
            endif()
        elseif(header MATCHES "^vantrel/")
            if(NOT folder IN_LIST engine_users)
                list(APPEND bad "src/${source}: ${header} (${folder} does not use the engine)")
            elseif(NOT EXISTS "${SOURCE_DIR}/vantrel/include/${header}")
                list(APPEND bad "src/${source}: ${header} (not a public header of the engine libraries)")
            endif()
        elseif(header MATCHES "^resources/")
            if(NOT folder IN_LIST resource_users)
                list(APPEND bad "src/${source}: ${header} (only the program's main file registers the resources)")
            endif()
        elseif(header MATCHES "^(tests|bench)/")
            list(APPEND bad "src/${source}: ${header} (the program does not include test code)")
        endif()
    endforeach()
endforeach()

if(bad)
    string(REPLACE ";" "\n" bad "${bad}")
    message(FATAL_ERROR "Includes that point up or sideways through the layers:\n${bad}")
endif()
message(STATUS "${checked} sources of src/ include only what their layer may use.")
