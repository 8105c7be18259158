# Runs chmcmd on the staging copy of the help project and puts the result in
# place. Called by the build with:
#   CHMCMD   the compiler
#   STAGE    the staging folder, holding the project and every file it names
#   PROJECT  the project file's name (.hhp)
#   NAME     the name of the compiled file, as the project names it
#   OUTPUT   where the compiled file goes
# chmcmd reports a missing topic or a broken link only as a warning and still
# writes a file; a help file with a dead link is broken, so warnings fail here.
foreach(var CHMCMD STAGE PROJECT NAME OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CompileHelp.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(
  COMMAND "${CHMCMD}" "${PROJECT}"
  WORKING_DIRECTORY "${STAGE}"
  RESULT_VARIABLE rc
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
set(log "${out}${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "chmcmd failed (exit code ${rc}) on ${PROJECT}:\n${log}")
endif()
string(REGEX MATCHALL "[^\n]*Warning[^\n]*" warnings "${log}")
if(warnings)
  list(REMOVE_DUPLICATES warnings)
  list(JOIN warnings "\n" warnings)
  message(FATAL_ERROR "chmcmd warned on ${PROJECT} (a file missing or a link broken):\n${warnings}")
endif()

set(compiled "${STAGE}/${NAME}")
if(NOT EXISTS "${compiled}")
  message(FATAL_ERROR "chmcmd wrote no \"${NAME}\": does \"Compiled file=\" of ${PROJECT} name it?\n${log}")
endif()
file(READ "${compiled}" signature LIMIT 4 HEX)
if(NOT signature STREQUAL "49545346") # "ITSF"
  message(FATAL_ERROR "\"${compiled}\" is no compiled HTML Help file")
endif()

# Copy, then rename: a program started meanwhile never sees half a file.
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy "${compiled}" "${OUTPUT}.new" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not copy \"${compiled}\" to \"${OUTPUT}.new\"")
endif()
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
