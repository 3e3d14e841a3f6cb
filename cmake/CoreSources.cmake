# Sources of the window-free library: the model, the generator, the interface
# objects shared with the MIDI-control library (which the model reaches through
# preset stores) and the shell's headless sending of the library's messages.
file(GLOB VX_CORE_SOURCES CONFIGURE_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/model/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/generator/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/hvif/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/app/BoardMidiCallback.cpp")

# The tests of the window-free library, built plain and sanitized.
file(GLOB VX_CORE_TEST_SOURCES CONFIGURE_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/tests/model/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/tests/generator/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/tests/halvix/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/tests/tools/*.cpp")
