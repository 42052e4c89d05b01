# cmake -DSRC=<src folder> -P check-layering.cmake
# The include roots keep platform folders out of the core's reach; this keeps out the
# platforms' own headers, which every compiler finds on its system path.
set(forbidden "windows\\.h|winsock|ole2\\.h|oleauto\\.h|objbase\\.h|sqlite3\\.h|unistd\\.h|fcntl\\.h|dlfcn\\.h|pthread\\.h|sys/|cups/")
set(bad "")
foreach(layer automation interfaces settings solution documents reports)
    file(GLOB_RECURSE files ${SRC}/${layer}/*.h ${SRC}/${layer}/*.cpp)
    foreach(f IN LISTS files)
        file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${forbidden})")
        foreach(l IN LISTS lines)
            string(APPEND bad "${f}: ${l}\n")
        endforeach()
    endforeach()
endforeach()
if(bad)
    message(FATAL_ERROR "platform headers in the portable core:\n${bad}")
endif()
message(STATUS "the portable core includes no platform header")
