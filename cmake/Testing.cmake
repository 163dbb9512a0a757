# GoogleTest for both trees, and ctest's way of running the Windows test programs under wine.
if(CMAKE_CROSSCOMPILING)
    # Debian's googletest package ships the sources; build them with the cross compiler.
    set(QUORVEL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    add_subdirectory(${QUORVEL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(QUORVEL_GTEST_MAIN gtest_main)

    # One throwaway wine prefix per build tree, outside the source tree.
    string(MD5 tree_hash "${CMAKE_BINARY_DIR}")
    string(SUBSTRING "${tree_hash}" 0 10 tree_hash)
    set(QUORVEL_WINEPREFIX "/tmp/quorvel-wine-${tree_hash}" CACHE PATH "wine prefix for tests")
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE)
    set(QUORVEL_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVEL_WINE_RUN})

    # Native tools (the simulated module, pty peers) come from the native tree.
    set(QUORVEL_NATIVE_BUILD "" CACHE PATH "native build tree that holds the test tools")

    # Start the wine session once, with its output sent away: otherwise wine's helper processes
    # hold ctest's pipe open and every test waits for them.
    add_test(NAME wine_session_start COMMAND ${QUORVEL_WINE_RUN} --start)
    add_test(NAME wine_session_stop COMMAND ${QUORVEL_WINE_RUN} --stop)
    # The session's ANSI code page follows its locale; en_US keeps it off 936 wherever the tests run.
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 180
                         ENVIRONMENT "LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8")
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)
else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
    set(QUORVEL_GTEST_MAIN GTest::gtest_main)
endif()

# quorvel_test(name SOURCES ... LIBS ... [PEER command...] [TIMEOUT s] [SERIAL])
# Natively each GoogleTest case becomes a ctest test. In the Windows tree the program is one
# ctest test run under wine; PEER names a native command that wraps the run (it maps a COM port
# of the prefix to a pseudo-terminal it serves and then runs the program).
function(quorvel_test name)
    cmake_parse_arguments(T "SERIAL" "TIMEOUT" "SOURCES;LIBS;PEER" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} ${QUORVEL_GTEST_MAIN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    if(CMAKE_CROSSCOMPILING)
        if(T_PEER)
            add_test(NAME ${name} COMMAND ${T_PEER} ${QUORVEL_WINE_RUN} $<TARGET_FILE:${name}>)
        else()
            add_test(NAME ${name} COMMAND ${name})
        endif()
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_session
                             TIMEOUT ${T_TIMEOUT} ENVIRONMENT "QUORVEL_WINEPREFIX=${QUORVEL_WINEPREFIX}")
    else()
        # SERIAL: a test that runs on a sped-up clock gets the machine to itself.
        set(serial FALSE)
        if(T_SERIAL)
            set(serial TRUE)
        endif()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                             PROPERTIES TIMEOUT ${T_TIMEOUT} RUN_SERIAL ${serial})
    endif()
endfunction()
