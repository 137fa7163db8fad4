# Helpers that give every target of the project the same shape.

# readhall_pch(target [WIDGETS])
# Precompiles the Qt and standard headers most of our sources include.
function(readhall_pch target)
    set(headers <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QVector>
                <QtCore/QHash> <QtCore/QDebug> <memory> <string> <vector> <functional>)
    if("WIDGETS" IN_LIST ARGN)
        list(APPEND headers <QtGui/QPainter> <QtWidgets/QWidget> <QtWidgets/QApplication>)
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# readhall_library(name [WIDGETS] SOURCES ... [LIBS ...] [PRIVATE_LIBS ...])
# A static library whose public include root is the project's top folder, so that sources
# include each other as "src/platform/settingsstore.h" or "vantrel/core/engine.h". LIBS are
# the libraries the library's own headers need (public); PRIVATE_LIBS those only its sources
# use.
function(readhall_library name)
    cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/vantrel/include)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    if(ARG_PRIVATE_LIBS)
        target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_LIBS})
    endif()
    if(ARG_WIDGETS)
        readhall_pch(${name} WIDGETS)
    else()
        readhall_pch(${name})
    endif()
endfunction()

# readhall_test(name SOURCES ... LIBS ...)
# A GoogleTest program run headless by CTest. It links the shared test support (fresh
# temporary settings store and engine data directory for every test, a QApplication on the
# offscreen platform, the embedded browser's settings for running headless) and registers
# every test case with CTest.
function(readhall_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE readhall_testsupport ${ARG_LIBS} GTest::gtest GTest::gmock)
    readhall_pch(${name} WIDGETS)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
            TIMEOUT 120)
endfunction()

# readhall_bench(name SOURCES ... LIBS ...)
function(readhall_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()
