# Cross toolchain for a 64-bit build of the same sources: used to run the tests on
# hosts that cannot execute 32-bit code (see the README). As in the 32-bit tree,
# the tests use the posix thread model and the programs come from a nested build
# with the win32 one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(MINGW_THREADS posix)
set(SWEEPORA_DELIVERABLES_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64-deliverables.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
