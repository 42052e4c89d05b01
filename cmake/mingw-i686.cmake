# Cross build of the add-in for 32-bit Windows with Debian's mingw-w64 (i686).
# The -posix compilers carry std::thread (the test driver's dialog watcher needs it);
# everything is linked statically so the DLLs need nothing beside them.

set(CMAKE_SYSTEM_PROCESSOR i686)
set(_mingw i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
