# Compiles one line, #include "HEADER", with the include directories of a
# layer and checks the outcome: EXPECT=found must compile, EXPECT=missing must
# fail because the header is not found (any other failure fails the check).
#   cmake -DCXX=... -DHEADER=... -DEXPECT=found|missing -DDIRS="a|b" -DWORK=... -P include_check.cmake
file(MAKE_DIRECTORY "${WORK}")
string(MAKE_C_IDENTIFIER "${HEADER}" name)
set(source "${WORK}/${name}.cpp")
file(WRITE "${source}" "#include \"${HEADER}\"\n")
set(flags -std=c++20 -fsyntax-only)
string(REPLACE "|" ";" dirs "${DIRS}")
foreach(dir IN LISTS dirs)
  list(APPEND flags "-I${dir}")
endforeach()
execute_process(COMMAND "${CXX}" ${flags} "${source}" RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
if(EXPECT STREQUAL "found")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${HEADER} should be reachable from this layer:\n${errors}")
  endif()
elseif(status EQUAL 0)
  message(FATAL_ERROR "${HEADER} is reachable from a layer below it")
elseif(NOT errors MATCHES "No such file or directory")
  message(FATAL_ERROR "${HEADER} failed to compile for another reason than a missing header:\n${errors}")
endif()
