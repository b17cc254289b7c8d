# Small helpers so each folder's CMakeLists stays a few lines long.

set(TALLOWIND_DATA_DIR "${CMAKE_SOURCE_DIR}/data")
set(TALLOWIND_TEST_DATA_DIR "${CMAKE_SOURCE_DIR}/tests/data")

# Where the sample history is installed, and the same folder seen from the
# installed executables, so an installed program finds it wherever the prefix is.
set(TALLOWIND_INSTALL_DATA_DIR "${CMAKE_INSTALL_DATADIR}/tallowind")
file(RELATIVE_PATH TALLOWIND_DATA_DIR_FROM_BIN
     "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/tallowind")

# A logic library: standard library only, no Qt.
function(tw_logic_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC tallowind_options ${ARG_DEPS})
endfunction()

# A window library: Qt Widgets over one or more logic libraries.
function(tw_gui_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC tallowind_options Qt6::Widgets ${ARG_DEPS})
    target_link_libraries(${name} PRIVATE tallowind_qt_strict)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# One GoogleTest executable per test file, registered with CTest; it links the
# test support library (tests/support).
function(tw_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE tallowind_options tw_test_support GTest::gtest GTest::gtest_main GTest::gmock ${ARG_DEPS})
    target_compile_definitions(${name} PRIVATE
        TALLOWIND_DATA_DIR="${TALLOWIND_DATA_DIR}" TALLOWIND_TEST_DATA_DIR="${TALLOWIND_TEST_DATA_DIR}")
    add_test(NAME ${name} COMMAND ${name})
endfunction()

# One QtTest executable per test file, run headless; it links the window test
# support library (tests/support).
function(tw_qtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE tallowind_options tallowind_qt_options tw_test_support_gui Qt6::Test Qt6::Widgets ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_compile_definitions(${name} PRIVATE
        TALLOWIND_DATA_DIR="${TALLOWIND_DATA_DIR}" TALLOWIND_TEST_DATA_DIR="${TALLOWIND_TEST_DATA_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
