# The layering of the house plan, checked over the sources: the core (store/,
# engine/ and the message code of interface/) includes no Qt header and
# reaches none of the Qt layers, and platform/ reaches nothing of the
# simulator, so the field-side program can use it alone. The Qt windows of
# the interface, when there are any, live in a folder of their own below
# interface/, which is not part of the core.
#
#   cmake -DROOT=<source folder> -P CheckLayers.cmake
#
# Prints one line per offending include and fails when there is any.
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers.cmake needs -DROOT=<source folder>")
endif()

set(qt_header "Q[A-Za-z0-9_]*(/[A-Za-z0-9_]+)?(\\.h)?")
set(core_forbidden "shell|platform|dialogs|lists|hollin")
set(rules
    "store|${core_forbidden}"
    "engine|${core_forbidden}"
    "interface|${core_forbidden}"
    "platform|store|engine|interface|shell|dialogs|lists|hollin")

set(faults "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(POP_FRONT parts layer)
  list(JOIN parts "|" forbidden)
  file(GLOB sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    file(RELATIVE_PATH name "${ROOT}" "${source}")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
      if(header MATCHES "^(${forbidden})/")
        string(APPEND faults "${name} reaches ${CMAKE_MATCH_1}/: ${header}\n")
      elseif(NOT layer STREQUAL "platform" AND header MATCHES "^${qt_header}$")
        string(APPEND faults "${name} includes a Qt header: ${header}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Layering broken:\n${faults}")
endif()
message(STATUS "Layering holds")
