# The codes have names in the store's headers, and the code uses the names:
#
#   The window layers (shell/, dialogs/, lists/, interface/qt/) test no device
#   number range (2000, 3000, 4000, 5000, 13000, 14000, or one below them, or
#   the thousands of a device number: store/device_numbers.h), no track code
#   of a cell or record (store/track_codes.h), and no status code of a block,
#   switch, signal or train (store/status_codes.h, store/train_codes.h) as a
#   bare number: compared either way round, assigned, or as a case label of a
#   switch over such a value.
#   No program folder writes the day in seconds, the crew shift or the empty
#   train slot of a block as a bare number outside their one definition
#   (store/run_times.h, store/records.h).
#
# Numbers are read as the compiler reads them: hex, digit separators and
# suffixes. Comments and string literals are not read.
#
#   cmake -DROOT=<source folder> -P CheckCodes.cmake
#
# Prints one line per offending line and fails when there is any.
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "CheckCodes.cmake needs -DROOT=<source folder>")
endif()

set(window_layers shell dialogs lists interface/qt)
set(program_folders store engine interface shell dialogs lists platform resources hollin tools)
# The one definition of each of the run's times and of the empty slot.
set(definitions store/run_times.h store/records.h)

set(edge "([^A-Za-z0-9_]|$)")
set(start "(^|[^A-Za-z0-9_])")
set(compare "(==|!=|>=|<=|<|>)")
set(operator "([<>]=?|==|!=|[-+])")

set(range "(2000|3000|4000|5000|13000|14000|1999|2999|3999|4999|12999|13999)")
set(range_before "${operator}[ ]*${range}${edge}")
set(range_after "${start}${range}[ ]*${operator}")
# The thousands of a device number, compared: device / 1000 == 3, or 3 == device / 1000.
set(thousands_before "/[ ]*1000[ )]*${compare}[ (]*[0-9]")
set(thousands_after "[0-9][ )]*${compare}[^=!<>]*/[ ]*1000${edge}")

set(track_name "(TrackCode|[Cc]ode|kind|GetGridTrack[ ]*\\([^()]*\\))")
set(track_value "([1-9]|[1-3][0-9]|40|128)")
set(track_before "${track_name}[ ]*${compare}[ ]*${track_value}${edge}")
# The object a field is read from, as in `21 == signal.TrackCode`.
set(object "([A-Za-z_][A-Za-z0-9_]*(\\[[^]]*\\])?(\\.|->))*")
set(track_after "${start}${track_value}[ ]*${compare}[ ]*${object}${track_name}")

set(status_name
    "(Occupancy|occupancy|Aspect|aspect|State|Reason|HeadEvent|GetDevicePaintStatus[ ]*\\([^()]*\\)|GetDeviceStatus[ ]*\\([^()]*\\)|${start}s)"
)
set(status_before "${status_name}(\\[[^]]*\\])?[ ]*(${compare}|=)[ ]*[1-9][0-9]*${edge}")
set(status_after "${start}[1-9][0-9]*[ ]*${compare}[ ]*${object}${status_name}")

set(case_label "^[ \t]*(case[ ]+[1-9][0-9]*[ ]*:)")

set(day "${start}86400${edge}")
set(crew_shift "${start}43200${edge}")
set(empty_slot "Trains[ ]*\\[[^]]*\\][ ]*(==|!=|=)[ ]*65535${edge}|${start}65535[ ]*(==|!=)[ ]*[A-Za-z_.]*Trains[ ]*\\[")

# `text` as the compiler reads it, for the patterns: no comment, no string literal, numbers in decimal.
function(normalise text result)
  # Digit separators, then character and string literals.
  while(text MATCHES "[0-9A-Fa-f]'[0-9A-Fa-f]")
    string(REGEX REPLACE "([0-9A-Fa-f])'([0-9A-Fa-f])" "\\1\\2" text "${text}")
  endwhile()
  string(REGEX REPLACE "'([^'\\\\]|\\\\.)*'" "' '" text "${text}")
  string(REGEX REPLACE "\"([^\"\\\\]|\\\\.)*\"" "\"\"" text "${text}")
  string(REGEX REPLACE "/\\*.*\\*/" " " text "${text}")
  string(REGEX REPLACE "//.*$" "" text "${text}")
  string(REGEX REPLACE "/\\*.*$" "" text "${text}")
  while(text MATCHES "(^|[^A-Za-z0-9_])(0[xX][0-9A-Fa-f]+)")
    set(hex "${CMAKE_MATCH_2}")
    math(EXPR decimal "${hex}")
    string(REPLACE "${hex}" "${decimal}" text "${text}")
  endwhile()
  string(REGEX REPLACE "([0-9])([uU][lL]?[lL]?|[lL][lL]?[uU]?)([^A-Za-z0-9_]|$)" "\\1\\3" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

set(faults "")
foreach(folder IN LISTS program_folders)
  file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.hpp" "${ROOT}/${folder}/*.cpp"
       "${ROOT}/${folder}/*.cc")
  list(SORT sources)
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH name "${ROOT}" "${source}")
    set(window FALSE)
    foreach(layer IN LISTS window_layers)
      if(name MATCHES "^${layer}/")
        set(window TRUE)
      endif()
    endforeach()
    set(defining FALSE)
    if(name IN_LIST definitions)
      set(defining TRUE)
    endif()
    # Read line by line, with what a CMake list would split on or group by held aside.
    file(READ "${source}" content)
    string(REPLACE "\\" "@BS@" content "${content}")
    string(REPLACE "[" "@LB@" content "${content}")
    string(REPLACE "]" "@RB@" content "${content}")
    string(REPLACE ";" "@SC@" content "${content}")
    string(REPLACE "\n" ";" lines "${content}")
    set(number 0)
    set(in_comment FALSE)
    set(switch_subject "")
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      string(REPLACE "@SC@" ";" line "${line}")
      string(REPLACE "@RB@" "]" line "${line}")
      string(REPLACE "@LB@" "[" line "${line}")
      string(REPLACE "@BS@" "\\" line "${line}")
      # Lines inside a block comment are not read.
      if(in_comment)
        if(NOT line MATCHES "\\*/")
          continue()
        endif()
        string(REGEX REPLACE "^.*\\*/" "" line "${line}")
        set(in_comment FALSE)
      endif()
      normalise("${line}" code)
      if(line MATCHES "/\\*" AND NOT line MATCHES "/\\*.*\\*/")
        set(in_comment TRUE)
      endif()
      if(NOT code MATCHES "[0-9]")
        if(code MATCHES "switch[ ]*\\((.*)\\)")
          set(switch_subject "${CMAKE_MATCH_1}")
        endif()
        continue()
      endif()
      set(kind "")
      if(NOT defining AND code MATCHES "${day}")
        set(kind "a bare day in seconds")
      elseif(NOT defining AND code MATCHES "${crew_shift}")
        set(kind "a bare crew shift")
      elseif(NOT defining AND code MATCHES "${empty_slot}")
        set(kind "a bare empty train slot")
      elseif(window)
        if(code MATCHES "switch[ ]*\\((.*)\\)")
          set(switch_subject "${CMAKE_MATCH_1}")
        endif()
        if(code MATCHES "${range_before}" OR code MATCHES "${range_after}" OR code MATCHES "${thousands_before}"
           OR code MATCHES "${thousands_after}")
          set(kind "a bare device number range")
        elseif(code MATCHES "${track_before}" OR code MATCHES "${track_after}")
          set(kind "a bare track code")
        elseif(code MATCHES "${status_before}" OR code MATCHES "${status_after}")
          set(kind "a bare status code")
        elseif(code MATCHES "${case_label}")
          if(switch_subject MATCHES "${track_name}")
            set(kind "a bare track code")
          elseif(switch_subject MATCHES "${status_name}")
            set(kind "a bare status code")
          endif()
        endif()
      endif()
      if(kind)
        string(APPEND faults "${name}:${number}: ${kind}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  # Printed as they are: an error message would wrap the long lines.
  message(NOTICE "${faults}")
  message(FATAL_ERROR "Bare codes (the lines above)")
endif()
message(STATUS "The code names its codes")
