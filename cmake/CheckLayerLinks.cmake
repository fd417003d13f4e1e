# The layering of the house plan, checked over the targets at configure time:
# the core links no Qt and none of the Qt layers, and platform links nothing
# of the simulator. The includes are checked by CheckLayers.cmake, a test.
function(corvane_check_layer_links target forbidden)
  if(NOT TARGET ${target})
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
  else()
    get_target_property(links ${target} LINK_LIBRARIES)
  endif()
  foreach(link IN LISTS links)
    if(link MATCHES "${forbidden}")
      message(FATAL_ERROR "Layering broken: ${target} links ${link}")
    endif()
  endforeach()
endfunction()

foreach(core corvane_store corvane_engine corvane_interface)
  corvane_check_layer_links(${core} "^(Qt6::.*|corvane_(platform|shell|dialogs|lists))$")
endforeach()
corvane_check_layer_links(corvane_platform "^corvane_(store|engine|interface|shell|dialogs|lists)$")
