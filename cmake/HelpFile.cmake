# The compiled help file dovoviza.chm, made from the sources in help/ with
# chmcmd (Free Pascal's CHM compiler, a Linux program: every preset builds it).
#
# Included from the top CMakeLists.txt, this file defines the target help_file
# and the variable DOVOVIZA_HELP_FILE (the .chm in the build folder). Run as a
# script (cmake -P) it is the build step itself: chmcmd writes beside its
# project file, so the sources are copied into the build folder and compiled
# there, and the source tree stays clean.

if(CMAKE_SCRIPT_MODE_FILE)
  # Script mode. Arguments: CHMCMD, SOURCE_DIR, WORK_DIR.
  foreach(argument CHMCMD SOURCE_DIR WORK_DIR)
    if(NOT DEFINED ${argument})
      message(FATAL_ERROR "HelpFile.cmake: -D${argument}=... is missing")
    endif()
  endforeach()
  # A fresh copy: a page removed from help/ must not linger in the next build.
  file(REMOVE_RECURSE ${WORK_DIR})
  file(COPY ${SOURCE_DIR}/ DESTINATION ${WORK_DIR})
  execute_process(
    COMMAND ${CHMCMD} dovoviza.hhp
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  # chmcmd only notes a link to a page or picture that is not there and still
  # writes the file; a help file with a dead link is a broken build here.
  if(NOT result EQUAL 0 OR output MATCHES "Warning: |Error: |[Ee]xception")
    file(REMOVE ${WORK_DIR}/dovoviza.chm)
    message(FATAL_ERROR "chmcmd could not compile ${SOURCE_DIR}/dovoviza.hhp (exit code ${result}):\n${output}")
  endif()
  if(NOT EXISTS ${WORK_DIR}/dovoviza.chm)
    message(FATAL_ERROR "chmcmd wrote no dovoviza.chm:\n${output}")
  endif()
  return()
endif()

find_program(DOVOVIZA_CHMCMD chmcmd)
if(NOT DOVOVIZA_CHMCMD)
  message(FATAL_ERROR "chmcmd, the compiler of the help file, was not found. "
                      "On Debian it comes with the package fp-utils "
                      "(apt-get install fp-utils; scripts/bootstrap installs it).")
endif()

file(GLOB_RECURSE DOVOVIZA_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
set(DOVOVIZA_HELP_FILE ${CMAKE_BINARY_DIR}/help/dovoviza.chm)

add_custom_command(
  OUTPUT ${DOVOVIZA_HELP_FILE}
  COMMAND ${CMAKE_COMMAND} -DCHMCMD=${DOVOVIZA_CHMCMD} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}/help
          -DWORK_DIR=${CMAKE_BINARY_DIR}/help -P ${CMAKE_CURRENT_LIST_DIR}/HelpFile.cmake
  DEPENDS ${DOVOVIZA_HELP_SOURCES} ${CMAKE_CURRENT_LIST_DIR}/HelpFile.cmake
  COMMENT "Compiling the help file dovoviza.chm"
  VERBATIM)
add_custom_target(help_file ALL DEPENDS ${DOVOVIZA_HELP_FILE})
