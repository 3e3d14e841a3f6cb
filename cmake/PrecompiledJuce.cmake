# Every source of ours includes JUCE's module headers (and the tests
# GoogleTest's), which cost more to parse than the source itself: each target
# parses them once, into a precompiled header.
set(VX_PCH_CORE_HEADERS <juce_core/juce_core.h> <juce_events/juce_events.h> <juce_data_structures/juce_data_structures.h>)
set(VX_PCH_GUI_HEADERS ${VX_PCH_CORE_HEADERS} <juce_graphics/juce_graphics.h> <juce_gui_basics/juce_gui_basics.h>
    <juce_gui_extra/juce_gui_extra.h>)

# vx_precompile_juce(<target> CORE|GUI [TESTS])
# A target whose sources make a single unity batch parses the headers once
# anyway: it gets no precompiled header, whose writing would only add to that.
function(vx_precompile_juce target level)
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH sources count)
  if(CMAKE_UNITY_BUILD AND (CMAKE_UNITY_BUILD_BATCH_SIZE EQUAL 0 OR count LESS_EQUAL CMAKE_UNITY_BUILD_BATCH_SIZE))
    return()
  endif()
  if(level STREQUAL "GUI")
    set(headers ${VX_PCH_GUI_HEADERS})
  else()
    set(headers ${VX_PCH_CORE_HEADERS})
  endif()
  if("TESTS" IN_LIST ARGN)
    list(APPEND headers <gtest/gtest.h>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
