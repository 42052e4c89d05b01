# The same Windows build for 64-bit Windows (mingw-w64 x86_64). The add-in ships as the
# i686 DLL; this build lets the Wine suite run natively on machines whose kernel cannot
# run 32-bit programs (wine64 without 32-bit support). Everything is linked statically.

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_mingw x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
