# Cross toolchain of the 32-bit tree: the deliverables as shipped, and the
# tests. The tests use std::thread, so this tree is compiled with the posix
# thread model; but that model's runtime imports functions that Windows 98
# and XP do not have (GetTickCount64, AddVectoredExceptionHandler, ...), so
# the deliverables come from a nested build with the win32 thread model
# (mingw-i686-deliverables.cmake) into this tree's bin/.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
set(MINGW_THREADS posix)
set(SWEEPORA_DELIVERABLES_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-i686-deliverables.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
