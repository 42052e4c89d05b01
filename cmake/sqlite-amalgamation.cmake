# vantrel_sqlite for the Windows build: SQLite compiled from its amalgamation (sqlite3.c),
# taken at configure time from the npm package better-sqlite3, which ships it in
# deps/sqlite3/. Nothing of it is committed; the package lands in the build folder.
set(_sqlite_pkg "better-sqlite3@12" CACHE STRING "npm package that ships the SQLite amalgamation")
set(_sqlite_dir ${CMAKE_BINARY_DIR}/_deps/sqlite)
set(_sqlite_src ${_sqlite_dir}/package/deps/sqlite3)

if(NOT EXISTS ${_sqlite_src}/sqlite3.c OR NOT EXISTS ${_sqlite_src}/sqlite3.h)
    find_program(VANTREL_NPM npm)
    if(NOT VANTREL_NPM)
        message(FATAL_ERROR "The Windows build needs the SQLite amalgamation from the npm package "
                            "${_sqlite_pkg}, but npm is not installed (apt-get install npm).")
    endif()
    file(MAKE_DIRECTORY ${_sqlite_dir})
    execute_process(
        COMMAND ${VANTREL_NPM} pack ${_sqlite_pkg} --silent
        WORKING_DIRECTORY ${_sqlite_dir}
        RESULT_VARIABLE _rc OUTPUT_VARIABLE _tarball ERROR_VARIABLE _err
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT _rc EQUAL 0 OR _tarball STREQUAL "")
        message(FATAL_ERROR "npm pack ${_sqlite_pkg} failed (${_rc}): ${_err}\n"
                            "The Windows build needs the SQLite amalgamation from that package.")
    endif()
    string(REGEX REPLACE ".*\n" "" _tarball "${_tarball}")
    file(ARCHIVE_EXTRACT INPUT ${_sqlite_dir}/${_tarball} DESTINATION ${_sqlite_dir}
         PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
    if(NOT EXISTS ${_sqlite_src}/sqlite3.c OR NOT EXISTS ${_sqlite_src}/sqlite3.h)
        message(FATAL_ERROR "${_tarball} holds no deps/sqlite3/sqlite3.c and sqlite3.h: the package "
                            "no longer ships the SQLite amalgamation; choose another with "
                            "-D_sqlite_pkg=<npm package>.")
    endif()
endif()

file(STRINGS ${_sqlite_src}/sqlite3.h _sqlite_version REGEX "^#define SQLITE_VERSION ")
message(STATUS "SQLite amalgamation: ${_sqlite_version}")

add_library(vantrel_sqlite STATIC ${_sqlite_src}/sqlite3.c)
target_include_directories(vantrel_sqlite SYSTEM PUBLIC ${_sqlite_src})
target_compile_definitions(vantrel_sqlite PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION
                                                  SQLITE_DQS=0 SQLITE_DEFAULT_MEMSTATUS=0)
# The amalgamation is not ours to warn about.
target_compile_options(vantrel_sqlite PRIVATE -w -O1)
