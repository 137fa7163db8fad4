# Runs the layer check on small made-up source trees: each case writes one file with one
# include, and the check must pass or fail as the case says.
#
#   cmake -DCHECK=<check_layers.cmake> -DTOP=<project folder> -DWORK_DIR=<scratch> -P this file

cmake_minimum_required(VERSION 3.22)

# file | include | expected (pass or fail)
set(cases
    "src/channel/frame.cpp|src/app/mainframe.h|fail"
    "src/channel/frame.cpp|src/stories/headlineview.h|fail"
    "src/stories/list.cpp|src/channel/channeldoc.h|pass"
    "src/browser/pane.cpp|src/channel/channeldoc.h|fail"
    "src/shared/seam.cpp|src/channel/channeldoc.h|fail"
    "src/framework/view.cpp|src/shared/ids.h|fail"
    "src/platform/store.cpp|src/framework/view.h|fail"
    "src/channel/frame.cpp|src/shared/panes.h|pass"
    "src/search/results.cpp|src/stories/headlineview.h|pass"
    "src/search/results.cpp|src/browser/browserview.h|fail"
    "src/app/templates.cpp|src/channel/channelframe.h|pass"
    "src/channel/frame.cpp|vantrel/engctl.h|pass"
    "src/channel/frame.cpp|vantrel/core/engine.h|fail"
    "src/framework/view.cpp|vantrel/engctl.h|fail"
    "src/channel/frame.cpp|resources/readhall_resources.h|fail"
    "src/main.cpp|resources/readhall_resources.h|pass"
    "src/channel/frame.cpp|tests/support/testenv.h|fail"
    "src/newkind/frame.cpp|src/shared/ids.h|fail")

set(failures "")
set(index 0)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 file)
    list(GET parts 1 header)
    list(GET parts 2 expected)
    set(tree "${WORK_DIR}/case${index}")
    math(EXPR index "${index} + 1")
    file(REMOVE_RECURSE "${tree}")
    file(WRITE "${tree}/${file}" "#include \"${header}\"\n")
    # The engine's public headers as the check knows them.
    file(WRITE "${tree}/vantrel/include/vantrel/engctl.h" "")
    execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${tree} -P "${CHECK}"
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE output)
    if(result EQUAL 0)
        set(outcome pass)
    else()
        set(outcome fail)
    endif()
    if(NOT outcome STREQUAL expected)
        list(APPEND failures "${file} including ${header}: expected ${expected}, got ${outcome}")
    elseif(outcome STREQUAL fail AND NOT output MATCHES "${file}")
        list(APPEND failures "${file} including ${header}: the failure does not name the file")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")

if(failures)
    string(REPLACE ";" "\n" failures "${failures}")
    message(FATAL_ERROR "The layer check judged wrongly:\n${failures}")
endif()
message(STATUS "The layer check judged all ${index} cases as expected.")
