# Sources of the window-free library: the model and the generator.
file(GLOB VX_CORE_SOURCES CONFIGURE_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/model/*.cpp"
  "${CMAKE_CURRENT_SOURCE_DIR}/generator/*.cpp")
