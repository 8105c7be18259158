# The 64-bit tree's build of the programs (Sweepora98, SweeporaXP, Ghostprobe),
# with the same win32 thread model and runtime as the shipped 32-bit ones, so
# that a host which can run only the 64-bit tree still tests programs made the
# way the shipped ones are. Used by the nested build of mingw-x86_64.cmake's tree.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Shipped without the symbols of the runtime libraries.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -s")
