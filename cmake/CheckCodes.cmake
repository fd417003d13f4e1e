# The window layers name the core's codes: shell/, dialogs/ and lists/ test
# no device number range (2000, 3000, 4000, 5000, 13000: store/device_numbers.h)
# and no track code of a cell or record (store/track_codes.h) as a bare number.
#
#   cmake -DROOT=<source folder> -P CheckCodes.cmake
#
# Prints one line per offending line and fails when there is any. Comments
# are not read.
if(NOT ROOT)
  message(FATAL_ERROR "CheckCodes.cmake needs -DROOT=<source folder>")
endif()

set(range "(2000|3000|4000|5000|13000|14000)")
set(operator "([<>]=?|==|!=|[-+])")
set(range_before "${operator}[ ]*${range}([^0-9]|$)")
set(range_after "(^|[^0-9])${range}[ ]*${operator}")
set(track_code "(TrackCode|[Cc]ode|kind)[ ]*(==|!=|>=|<=|<|>)[ ]*([1-9]|[1-3][0-9]|40|128)([^0-9]|$)")

set(faults "")
foreach(layer shell dialogs lists)
  file(GLOB_RECURSE sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH name "${ROOT}" "${source}")
    file(STRINGS "${source}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      string(REGEX REPLACE "//.*$" "" code "${line}")
      if(code MATCHES "${range_before}" OR code MATCHES "${range_after}")
        string(APPEND faults "${name}:${number}: a bare device number range: ${line}\n")
      elseif(code MATCHES "${track_code}")
        string(APPEND faults "${name}:${number}: a bare track code: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Bare codes in the window layers:\n${faults}")
endif()
message(STATUS "The window layers name their codes")
