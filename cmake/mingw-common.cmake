# Shared by the toolchain files: MINGW_TRIPLET names the target, and
# MINGW_THREADS the thread model of Debian's compilers (posix: std::thread and
# std::mutex through winpthreads; win32: no C++ threads, and a runtime that
# imports only what old systems export).
if(NOT MINGW_THREADS)
  set(MINGW_THREADS posix)
endif()
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-${MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-${MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
