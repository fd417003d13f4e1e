# The layering of the house plan, checked over the sources of every program
# folder and its subfolders:
#
#   store/ below engine/ below the message code of interface/: the core. It
#     includes no Qt header and reaches nothing above it. store/whole_file/
#     and interface/handover/ are the pieces the field-side program shares,
#     so they reach nothing of the simulator but each other.
#   Above the core, the window layers, each reaching only those below it:
#     shell/ over lists/ over dialogs/ over platform/ over resources/; the
#     interface's windows live in interface/qt/, which shell/ alone uses.
#   hollin/ has a windowless core/ in standard C++ that reaches no further
#     than the shared pieces; its windows add platform/.
#   tools/ (the territory builder and the programs that write what the build
#     ships) is standard C++ over the core.
#   No program folder reaches tests/, bench/ or fuzz/.
#
#   cmake -DROOT=<source folder> -P CheckLayers.cmake
#
# Prints one line per offending include and fails when there is any.
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers.cmake needs -DROOT=<source folder>")
endif()

# Each folder and the folders it may include from (besides itself); the most specific folder of a file
# decides. A folder marked no_qt includes no Qt header.
set(core store store/whole_file engine interface interface/handover)
set(reach_store/whole_file)
set(reach_store store/whole_file)
set(reach_engine store store/whole_file)
set(reach_interface/handover store/whole_file)
set(reach_interface engine store store/whole_file interface/handover)
set(reach_tools engine store store/whole_file)
set(reach_hollin/core interface/handover store/whole_file)
set(reach_hollin hollin/core platform interface/handover store/whole_file)
set(reach_resources)
set(reach_platform resources)
set(reach_interface/qt platform resources ${core})
set(reach_dialogs platform resources ${core})
set(reach_lists dialogs platform resources ${core})
set(reach_lists/tools lists dialogs platform resources tools ${core})
set(reach_shell lists dialogs interface/qt platform resources ${core})
set(no_qt store store/whole_file engine interface interface/handover tools hollin/core)
set(areas
    store/whole_file
    store
    engine
    interface/handover
    interface/qt
    interface
    tools
    hollin/core
    hollin
    resources
    platform
    dialogs
    lists/tools
    lists
    shell)
# Top folders that hold no program code: reaching any of them is a fault.
set(outside tests bench fuzz)

set(qt_header "(Qt[A-Za-z0-9_]*/)?Q[A-Za-z0-9_]*(\\.h)?")

# The most specific folder of `areas` that holds `path` (a folder, or a header named from the source
# root), or the top folder when no area holds it.
function(area_of path result)
  foreach(area IN LISTS areas)
    if(path STREQUAL area OR path MATCHES "^${area}/")
      set(${result} "${area}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  string(REGEX REPLACE "/.*$" "" top "${path}")
  set(${result} "${top}" PARENT_SCOPE)
endfunction()

string(REGEX REPLACE "/[^;]*" "" tops "${areas};${outside}")
list(REMOVE_DUPLICATES tops)
list(JOIN tops "|" project_folder)

set(faults "")
set(globs "")
foreach(top IN LISTS tops)
  if(NOT top IN_LIST outside)
    foreach(extension h hpp hh cpp cc cxx inl ipp)
      list(APPEND globs "${ROOT}/${top}/*.${extension}")
    endforeach()
  endif()
endforeach()
file(GLOB_RECURSE sources ${globs})
list(SORT sources)
foreach(source IN LISTS sources)
  file(RELATIVE_PATH name "${ROOT}" "${source}")
  get_filename_component(folder "${name}" DIRECTORY)
  area_of("${folder}" layer)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
    if(header MATCHES "(^|/)\\.\\.(/|$)")
      string(APPEND faults "${name} reaches out of its folder by a relative path: ${header}\n")
    elseif(header MATCHES "^(${project_folder})/")
      area_of("${header}" target)
      if(NOT target STREQUAL layer AND NOT target IN_LIST reach_${layer})
        string(APPEND faults "${name} reaches ${target}/: ${header}\n")
      endif()
    elseif(layer IN_LIST no_qt AND header MATCHES "^${qt_header}$")
      string(APPEND faults "${name} includes a Qt header: ${header}\n")
    endif()
  endforeach()
endforeach()

if(faults)
  # Printed as they are: an error message would wrap the long lines.
  message(NOTICE "${faults}")
  message(FATAL_ERROR "Layering broken (the includes above)")
endif()
message(STATUS "Layering holds")
