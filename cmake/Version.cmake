# The program's version: the file VERSION ("1.3.9.0"), unless ZORVEL_VERSION
# is given on the command line (the release test builds a later one). It
# feeds ZorvelVersion.h (every version resource, the title, the update check)
# and the manifest; the text form joins the minor and build numbers
# ("1.3.9.0" reads "1.39").
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/VERSION)
if(NOT ZORVEL_VERSION)
  file(STRINGS ${PROJECT_SOURCE_DIR}/VERSION ZORVEL_VERSION LIMIT_COUNT 1)
endif()
if(NOT ZORVEL_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "VERSION must hold four numbers separated by dots, not '${ZORVEL_VERSION}'")
endif()
set(ZORVEL_VERSION_MAJOR ${CMAKE_MATCH_1})
set(ZORVEL_VERSION_MINOR ${CMAKE_MATCH_2})
set(ZORVEL_VERSION_BUILD ${CMAKE_MATCH_3})
set(ZORVEL_VERSION_REVISION ${CMAKE_MATCH_4})
foreach(number ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
  if(number GREATER 65535)
    message(FATAL_ERROR "each number of VERSION must fit 16 bits: '${ZORVEL_VERSION}'")
  endif()
endforeach()
set(ZORVEL_VERSION_TEXT "${ZORVEL_VERSION_MAJOR}.${ZORVEL_VERSION_MINOR}${ZORVEL_VERSION_BUILD}")
if(NOT ZORVEL_VERSION_REVISION EQUAL 0)
  string(APPEND ZORVEL_VERSION_TEXT ".${ZORVEL_VERSION_REVISION}")
endif()

set(ZORVEL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/ZorvelVersion.h.in ${ZORVEL_GENERATED_DIR}/ZorvelVersion.h @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/src/resources/Zorvel.manifest.in ${ZORVEL_GENERATED_DIR}/Zorvel.manifest @ONLY)
# Every C++ and resource compile finds the generated files.
include_directories(${ZORVEL_GENERATED_DIR})
# The same two forms for the release command (package name, readme).
file(WRITE ${ZORVEL_GENERATED_DIR}/release.env
  "ZORVEL_VERSION=${ZORVEL_VERSION}\nZORVEL_VERSION_TEXT=${ZORVEL_VERSION_TEXT}\n")
