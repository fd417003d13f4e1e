# Whether a source check catches what it claims: copies the given folders of the real sources to a
# scratch folder, runs the check on the clean copy (it must pass), then plants every fault the plants
# file lists and runs the check once more: it must fail and report each planted line by its file.
#
#   cmake -DCHECK=<check script> -DSOURCE=<source folder> -DSCRATCH=<scratch folder>
#         -DFOLDERS=<folder;...> -DPLANTS=<plants file> -P plant_faults.cmake
#
# The plants file calls plant(<file> <kind> <text> [<reported line>]): <text> is appended to <file> (made
# when missing), and the check must print "<file>...<kind>...<reported line>" on one line, where the
# reported line defaults to <text>.
cmake_minimum_required(VERSION 3.25)
foreach(argument CHECK SOURCE SCRATCH FOLDERS PLANTS)
  if(NOT ${argument})
    message(FATAL_ERROR "plant_faults.cmake needs -D${argument}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
foreach(folder IN LISTS FOLDERS)
  if(EXISTS "${SOURCE}/${folder}")
    file(COPY "${SOURCE}/${folder}" DESTINATION "${SCRATCH}" FILES_MATCHING PATTERN "*.h" PATTERN "*.cpp")
  endif()
endforeach()

function(run_check result output)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${SCRATCH} -P ${CHECK} RESULT_VARIABLE code OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  set(${result} "${code}" PARENT_SCOPE)
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

run_check(code out)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "The check fails on the clean copy already:\n${out}")
endif()

set(plants 0)
function(plant file kind text)
  set(reported "${text}")
  if(ARGC GREATER 3)
    set(reported "${ARGV3}")
  endif()
  file(APPEND "${SCRATCH}/${file}" "\n${text}\n")
  math(EXPR n "${plants} + 1")
  set(plants ${n} PARENT_SCOPE)
  set(plant_${n}_file "${file}" PARENT_SCOPE)
  set(plant_${n}_kind "${kind}" PARENT_SCOPE)
  set(plant_${n}_line "${reported}" PARENT_SCOPE)
endfunction()
include("${PLANTS}")

run_check(code out)
if(code EQUAL 0)
  message(FATAL_ERROR "The check passed the planted faults:\n${out}")
endif()
# The output's lines, read by position: planted code may hold characters a CMake list would split on.
set(lines 0)
set(rest "${out}")
while(NOT rest STREQUAL "")
  string(FIND "${rest}" "\n" end)
  if(end EQUAL -1)
    string(LENGTH "${rest}" end)
  endif()
  math(EXPR lines "${lines} + 1")
  string(SUBSTRING "${rest}" 0 ${end} line_${lines})
  math(EXPR end "${end} + 1")
  string(LENGTH "${rest}" length)
  if(end GREATER_EQUAL length)
    set(rest "")
  else()
    string(SUBSTRING "${rest}" ${end} -1 rest)
  endif()
endwhile()

set(missed "")
foreach(n RANGE 1 ${plants})
  set(found FALSE)
  foreach(k RANGE 1 ${lines})
    string(FIND "${line_${k}}" "${plant_${n}_file}" at_file)
    string(FIND "${line_${k}}" "${plant_${n}_kind}" at_kind)
    string(FIND "${line_${k}}" "${plant_${n}_line}" at_line REVERSE)
    if(at_file EQUAL 0 AND at_kind GREATER at_file AND at_line GREATER at_kind)
      set(found TRUE)
      break()
    endif()
  endforeach()
  if(NOT found)
    string(APPEND missed "  ${plant_${n}_file}: ${plant_${n}_line}\n")
  endif()
endforeach()
if(missed)
  message(FATAL_ERROR "The check let these planted faults through:\n${missed}Its output:\n${out}")
endif()
message(STATUS "The check caught all ${plants} planted faults")
