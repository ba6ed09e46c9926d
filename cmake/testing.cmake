# duvarin_add_test(name [GUI] [SERIAL] SOURCES ... [LIBS ...] [ONCE pattern]
#                  [SERIAL_CASES pattern])
# One GoogleTest program beside the code it tests, registered case by case.
# The native build labels its cases "host", the Windows build "wine".
# GUI: the program shows windows; its cases run once more, named NAME.cp1252,
# under the ANSI code page of an English Windows (see below), except those
# that match ONCE, a GoogleTest pattern.
# SERIAL: the cases press real keys, which go to whichever window of the
# shared Wine desktop is in the foreground; each case runs alone, so that no
# other test's window can take the foreground and the keys.
# SERIAL_CASES: only the cases that match the pattern press keys; they run
# alone, and once, under the first code page.
include(GoogleTest)

if(WIN32)
    # The Wine that runs this build's programs (tools/wine-env.sh): the
    # product's 32-bit one, or the 64-bit one for the x86_64 test build.
    # Scripts given the build folder read it from wine-arch.txt.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(DUVARIN_WINE_ARCH win64)
    else()
        set(DUVARIN_WINE_ARCH win32)
    endif()
    file(WRITE ${CMAKE_BINARY_DIR}/wine-arch.txt "${DUVARIN_WINE_ARCH}\n")
    # The native dvtool that make builds first (build/host): the download
    # tests make their quotation pages with it, the build compares its dv.dat
    # with it, and where dvtool.exe cannot run it makes dv.dat.
    set(DUVARIN_NATIVE_DVTOOL "" CACHE FILEPATH "The native dvtool")
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(DUVARIN_GTEST_MAIN gtest_main)
    # Every Windows test runs with the Wine desktop up (tools/CMakeLists.txt).
    set(DUVARIN_TEST_PROPERTIES LABELS wine FIXTURES_REQUIRED wine_desktop)
else()
    find_package(GTest REQUIRED)
    set(DUVARIN_GTEST_MAIN GTest::gtest_main)
    set(DUVARIN_TEST_PROPERTIES LABELS host)
endif()

function(duvarin_add_test name)
    cmake_parse_arguments(T "GUI;SERIAL" "ONCE;SERIAL_CASES" "SOURCES;LIBS" ${ARGN})
    set(serial "")
    if(T_SERIAL)
        set(serial RUN_SERIAL TRUE)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} ${DUVARIN_GTEST_MAIN})
    target_compile_definitions(${name} PRIVATE
        DUVARIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    if(WIN32)
        set_property(GLOBAL APPEND PROPERTY DUVARIN_WINE_TEST_PROGRAMS ${name}.exe)
    endif()
    set(first_filter)
    set(once ${T_ONCE})
    if(T_SERIAL_CASES)
        set(first_filter TEST_FILTER -${T_SERIAL_CASES})
        list(APPEND once ${T_SERIAL_CASES})
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            DISCOVERY_TIMEOUT 120
            TEST_FILTER ${T_SERIAL_CASES}
            PROPERTIES ${DUVARIN_TEST_PROPERTIES} TIMEOUT 120 RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        ${first_filter}
        PROPERTIES ${DUVARIN_TEST_PROPERTIES} TIMEOUT 120 ${serial})
    # The program's texts are GBK whatever the system's code page; the first
    # run has Wine's default locale (code page 936, tools/wine-env.sh), this
    # one en_US (1252), so that a text passed through the system's code page
    # anywhere shows as a failure.
    if(T_GUI AND WIN32)
        set(filter)
        if(once)
            list(JOIN once ":" once)
            set(filter TEST_FILTER -${once})
        endif()
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            DISCOVERY_TIMEOUT 120
            TEST_SUFFIX .cp1252
            ${filter}
            PROPERTIES ${DUVARIN_TEST_PROPERTIES} TIMEOUT 120 ${serial} ENVIRONMENT DUVARIN_LOCALE=en_US.UTF-8)
    endif()
endfunction()

# The names of the Windows test programs, one a line, for the Wine set-up of
# a test run (tools/wine-warm.sh). Called once every test is known.
function(duvarin_write_test_program_list)
    get_property(programs GLOBAL PROPERTY DUVARIN_WINE_TEST_PROGRAMS)
    list(JOIN programs "\n" text)
    file(WRITE ${CMAKE_BINARY_DIR}/wine-test-programs.txt "${text}\n")
endfunction()
