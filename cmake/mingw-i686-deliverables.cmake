# Cross toolchain of the deliverables (Sweepora98, SweeporaXP, Ghostprobe):
# 32-bit Windows, win32 thread model, static. Used by the nested build of
# mingw-i686.cmake's tree; on its own it builds the programs, not the tests
# (googletest needs std::mutex, which this model lacks).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
set(MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Shipped without the symbols of the runtime libraries.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -s")
