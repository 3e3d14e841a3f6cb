# Compiles JUCE's modules once, from Debian's module sources, into shared
# libraries of our own. Everything in a process (the program, the MIDI-control
# stand-in library and the tests) links these, so a process holds exactly one
# JUCE instance: one MessageManager, one Desktop.

set(JUCE_MODULES_DIR "/usr/share/juce/modules" CACHE PATH "Folder holding JUCE's module sources")
if(NOT EXISTS "${JUCE_MODULES_DIR}/juce_core/juce_core.h")
  message(FATAL_ERROR "JUCE's module sources were not found in ${JUCE_MODULES_DIR}; install juce-modules-source-data")
endif()

find_package(PkgConfig REQUIRED)

set(VX_JUCE_BASE_MODULES juce_core juce_events juce_data_structures)
set(VX_JUCE_GUI_MODULES juce_graphics juce_gui_basics juce_gui_extra
                        juce_audio_basics juce_audio_devices juce_audio_formats)

set(VX_JUCE_DEFINES
  JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
  JUCE_STANDALONE_APPLICATION=1
  JUCE_MODAL_LOOPS_PERMITTED=1
  JUCE_WEB_BROWSER=0
  JUCE_USE_CURL=1
  JUCE_DISPLAY_SPLASH_SCREEN=0
  JUCE_REPORT_APP_USAGE=0
  JUCE_LOG_ASSERTIONS=1
  JUCE_STRICT_REFCOUNTEDPOINTER=1
  $<$<CONFIG:Debug>:DEBUG=1>
  $<$<CONFIG:Debug>:_DEBUG=1>
  $<$<NOT:$<CONFIG:Debug>>:NDEBUG=1>)

# Every module that any of our targets may include is announced to all of
# them, so that JUCE's headers see one consistent configuration.
foreach(m IN LISTS VX_JUCE_BASE_MODULES VX_JUCE_GUI_MODULES)
  list(APPEND VX_JUCE_DEFINES JUCE_MODULE_AVAILABLE_${m}=1)
endforeach()

# vx_add_juce_library(<target> <STATIC|SHARED> MODULES ... [LINK ...] [PKG ...])
function(vx_add_juce_library target kind)
  cmake_parse_arguments(ARG "" "" "MODULES;LINK;PKG" ${ARGN})
  set(sources)
  foreach(m IN LISTS ARG_MODULES)
    list(APPEND sources "${JUCE_MODULES_DIR}/${m}/${m}.cpp")
  endforeach()
  add_library(${target} ${kind} ${sources})
  # Each module is one source already; batching modules would only lengthen
  # the longest compile of the build.
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON UNITY_BUILD OFF)
  target_include_directories(${target} SYSTEM PUBLIC "${JUCE_MODULES_DIR}")
  target_compile_definitions(${target} PUBLIC ${VX_JUCE_DEFINES})
  target_compile_features(${target} PUBLIC cxx_std_17)
  # JUCE's own sources are not ours to keep warning-free.
  target_compile_options(${target} PRIVATE -w)
  target_link_libraries(${target} PUBLIC ${ARG_LINK} ${CMAKE_DL_LIBS} pthread rt)
  foreach(p IN LISTS ARG_PKG)
    string(MAKE_C_IDENTIFIER "VX_PKG_${p}" var)
    pkg_check_modules(${var} REQUIRED IMPORTED_TARGET ${p})
    target_link_libraries(${target} PUBLIC PkgConfig::${var})
  endforeach()
endfunction()
