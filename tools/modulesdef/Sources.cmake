# The support code of the "Modules.def" tool: the plain description, its text
# form and the byte builder. Tests link it too, to make files inline.
file(GLOB VX_MODULESDEF_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/*.cpp")
list(FILTER VX_MODULESDEF_SOURCES EXCLUDE REGEX "/main\\.cpp$")
