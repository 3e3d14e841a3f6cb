# A second, sanitized copy of the core library and its tests, in the same
# build: AddressSanitizer and UndefinedBehaviorSanitizer watch every read of
# "Modules.def" and the rest of the model. The copy is static, so the test
# process still holds exactly one JUCE instance.

set(VX_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

vx_add_juce_library(juce_base_san STATIC
  MODULES juce_core juce_events juce_data_structures
  PKG zlib libcurl)
target_compile_options(juce_base_san PRIVATE ${VX_SAN_FLAGS})
target_link_options(juce_base_san PUBLIC ${VX_SAN_FLAGS})

add_library(varentix_core_san STATIC ${VX_CORE_SOURCES} ${VX_MODULESDEF_SOURCES} ${VX_HALVIX_CORE_SOURCES})
target_include_directories(varentix_core_san PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tools ${PROJECT_SOURCE_DIR}/halvix)
target_link_libraries(varentix_core_san PUBLIC juce_base_san)
target_compile_options(varentix_core_san PRIVATE ${VX_WARNINGS} ${VX_SAN_FLAGS})
vx_precompile_juce(varentix_core_san CORE)

add_executable(core_tests_sanitized support/TestMain.cpp ${VX_CORE_TEST_SOURCES})
target_include_directories(core_tests_sanitized PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(core_tests_sanitized PRIVATE varentix_core_san GTest::gtest)
target_compile_options(core_tests_sanitized PRIVATE ${VX_WARNINGS} ${VX_SAN_FLAGS})
vx_precompile_juce(core_tests_sanitized CORE TESTS)
target_compile_definitions(core_tests_sanitized PRIVATE
  VX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  VX_MODULESDEF_TOOL="$<TARGET_FILE:modulesdef>"
  VX_SANITIZED=1)
add_dependencies(core_tests_sanitized modulesdef sample_modules_def)
# Each property takes one value: the discovery splits a list of two
# variables apart, which once dropped the second and every property after it.
math(EXPR VX_SANITIZED_TEST_TIMEOUT "2 * ${VX_TEST_TIMEOUT}")
gtest_discover_tests(core_tests_sanitized DISCOVERY_MODE PRE_TEST TEST_PREFIX "sanitized."
  PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1"
             ENVIRONMENT_MODIFICATION "UBSAN_OPTIONS=set:print_stacktrace=1"
             TIMEOUT ${VX_SANITIZED_TEST_TIMEOUT})
