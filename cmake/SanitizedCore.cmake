# A sanitized copy of the core library: AddressSanitizer and
# UndefinedBehaviorSanitizer watch every read of "Modules.def", of the preset
# and project files and the rest of the model. Its tests (tests/CMakeLists.txt)
# and the fuzz targets (tests/fuzz/) link this one copy, so that it is compiled
# once; with clang it carries the fuzzer's coverage as well, which costs the
# tests little. The copy is static, so a process still holds exactly one JUCE
# instance.

set(VX_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
# What the sanitized copy is compiled with: the sanitizers cost little at -O1.
set(VX_SAN_COMPILE_FLAGS ${VX_SAN_FLAGS} -O1)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  list(APPEND VX_SAN_COMPILE_FLAGS -fsanitize=fuzzer-no-link)
endif()

vx_add_juce_library(juce_base_san STATIC
  MODULES juce_core juce_events juce_data_structures
  PKG zlib libcurl)
target_compile_options(juce_base_san PRIVATE ${VX_SAN_COMPILE_FLAGS})
target_link_options(juce_base_san PUBLIC ${VX_SAN_FLAGS})

add_library(varentix_core_san STATIC ${VX_CORE_SOURCES} ${VX_MODULESDEF_SOURCES} ${VX_HALVIX_CORE_SOURCES})
target_include_directories(varentix_core_san PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tools ${PROJECT_SOURCE_DIR}/halvix)
target_link_libraries(varentix_core_san PUBLIC juce_base_san)
target_compile_options(varentix_core_san PRIVATE ${VX_WARNINGS} ${VX_SAN_COMPILE_FLAGS})
vx_precompile_juce(varentix_core_san CORE)
