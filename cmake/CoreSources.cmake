# Sources of the window-free library: the model, the generator and the
# shell's headless side of the MIDI-control library (its interface objects and
# the sending of its messages), which the model reaches through preset stores.
file(GLOB VX_CORE_SOURCES CONFIGURE_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/model/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/generator/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/app/Hv*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/app/BoardMidiCallback.cpp")
