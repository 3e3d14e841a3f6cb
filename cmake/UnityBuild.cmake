# Unity builds: each of our targets compiles its sources in batches of
# CMAKE_UNITY_BUILD_BATCH_SIZE files, one compiler run per batch, so that
# JUCE's and GoogleTest's templates are instantiated and their debug
# information written once per batch rather than once per file (JUCE's
# modules, one file each already, are left as they are).
#
# A batch is one translation unit: a name a source keeps to itself (in an
# unnamed namespace, or static) must not be defined by another source of the
# same target. vx_guard_unity_build() reads the sources whenever the build is
# configured (a new source file makes the build do so) and compiles on its own
# every source that defines, at the start of a line, a type or variable of a
# name, or a function of a name and parameter types, that an earlier source of
# its target defines too. The configuration lists them ("compiled alone");
# giving the helper a more telling name puts the source back in its batch.
# What the guard cannot see (names in a block, an unnamed enum's values, a
# "using namespace" that makes a call ambiguous, a helper added to a source
# since the last configuration) fails the compile of a batch: rename, run
# cmake again, or compile the source on its own with
#   set_source_files_properties(<file> PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
# next to its target. -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 compiles each target
# as a single batch, which shows every clash at once; -DCMAKE_UNITY_BUILD=OFF
# compiles every file alone.
if(NOT DEFINED CMAKE_UNITY_BUILD)
  set(CMAKE_UNITY_BUILD ON)
endif()
if(NOT DEFINED CMAKE_UNITY_BUILD_BATCH_SIZE)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE 8)
endif()

# What a source defines at the start of a line, not members of a class
# ("Class::member") nor macros ("TEST ("): in <objects> its types and
# variables, in <functions> its functions with the types of their parameters
# (a function may share its name with another of other parameters), each
# after the named namespace it stands in ("" for an unnamed one).
function(vx_definitions_in file objects functions)
  set(identifier "[A-Za-z_][A-Za-z0-9_]*")
  file(STRINGS "${file}" lines REGEX "^(namespace|}.*namespace|struct|class|union|enum|static|inline|const|constexpr|[A-Za-z_][A-Za-z0-9_:<>,*& ]* [*&]?${identifier} ?\\()")
  set(names)
  set(signatures)
  # The named namespaces open, innermost last; an unnamed one adds nothing.
  set(open)
  set(namespace "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^namespace")
      set(name "")
      if(line MATCHES "^namespace (${identifier})")
        set(name "${CMAKE_MATCH_1}::")
      endif()
      list(APPEND open "${name}")
      list(JOIN open "" namespace)
    elseif(line MATCHES "^}.*namespace")
      if(open)
        list(POP_BACK open)
      endif()
      list(JOIN open "" namespace)
    elseif(line MATCHES "^(struct|class|union) (${identifier})")
      list(APPEND names "${namespace}${CMAKE_MATCH_2}")
    elseif(line MATCHES "^enum (class |struct )?(${identifier})")
      list(APPEND names "${namespace}${CMAKE_MATCH_2}")
    elseif(line MATCHES "^[A-Za-z_][A-Za-z0-9_:<>,*& ]* [*&]?(${identifier}) ?\\((.*)$")
      # One program has one main(); a test's C source in a string has another.
      if(CMAKE_MATCH_1 STREQUAL "main")
        continue()
      endif()
      set(name "${namespace}${CMAKE_MATCH_1}")
      # The parameters' types: their names, default values, blanks and
      # namespaces go ("juce::juce_wchar c" is "juce_wchar").
      string(REGEX REPLACE "\\)[^)]*$" "" parameters "${CMAKE_MATCH_2}")
      string(REPLACE "," ";" parameters "${parameters}")
      set(types)
      foreach(parameter IN LISTS parameters)
        string(REGEX REPLACE "=.*" "" parameter "${parameter}")
        string(STRIP "${parameter}" parameter)
        string(REGEX REPLACE "^(.*[ *&])${identifier}$" "\\1" parameter "${parameter}")
        string(REGEX REPLACE "${identifier}::| " "" parameter "${parameter}")
        list(APPEND types "${parameter}")
      endforeach()
      list(JOIN types "," types)
      list(APPEND signatures "${name} (${types})")
    elseif(line MATCHES "^(const|constexpr) ([^=({[]*[ *&])(${identifier}) *[=({[]")
      list(APPEND names "${namespace}${CMAKE_MATCH_3}")
    elseif(line MATCHES "^(static|inline) ([^=({[]*[ *&])(${identifier}) *[={[]")
      list(APPEND names "${namespace}${CMAKE_MATCH_3}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES names)
  list(REMOVE_DUPLICATES signatures)
  set(${objects} "${names}" PARENT_SCOPE)
  set(${functions} "${signatures}" PARENT_SCOPE)
endfunction()

# Every target of the project made so far, in the folder and those below it.
function(vx_targets_below folder out)
  get_property(targets DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(folders DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
  foreach(below IN LISTS folders)
    vx_targets_below("${below}" more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# Called once, after every target is made.
function(vx_guard_unity_build)
  if(NOT CMAKE_UNITY_BUILD)
    return()
  endif()
  vx_targets_below("${PROJECT_SOURCE_DIR}" targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(unity ${target} UNITY_BUILD)
    if(NOT unity OR NOT type MATCHES "LIBRARY|EXECUTABLE" OR type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    set(claimedNames)
    set(claimedSignatures)
    set(claimedFunctionNames)
    foreach(source IN LISTS sources)
      get_filename_component(path "${source}" ABSOLUTE BASE_DIR "${folder}")
      # CMake compiles a source with settings of its own apart anyway.
      set(apart FALSE)
      foreach(property SKIP_UNITY_BUILD_INCLUSION COMPILE_DEFINITIONS COMPILE_OPTIONS COMPILE_FLAGS INCLUDE_DIRECTORIES)
        get_source_file_property(value "${source}" TARGET_DIRECTORY ${target} ${property})
        if(value)
          set(apart TRUE)
        endif()
      endforeach()
      if(apart OR NOT path MATCHES "\\.cpp$" OR NOT EXISTS "${path}")
        continue()
      endif()
      vx_definitions_in("${path}" names signatures)
      set(clashes)
      foreach(name IN LISTS names)
        if(name IN_LIST claimedNames OR name IN_LIST claimedFunctionNames)
          list(APPEND clashes ${name})
        endif()
      endforeach()
      set(functionNames)
      foreach(signature IN LISTS signatures)
        string(REGEX REPLACE " .*" "" name "${signature}")
        if(signature IN_LIST claimedSignatures OR name IN_LIST claimedNames)
          list(APPEND clashes ${name})
        endif()
        list(APPEND functionNames ${name})
      endforeach()
      if(clashes)
        set_source_files_properties("${source}" TARGET_DIRECTORY ${target} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
        file(RELATIVE_PATH shown "${PROJECT_SOURCE_DIR}" "${path}")
        list(REMOVE_DUPLICATES clashes)
        list(JOIN clashes ", " clashes)
        message(STATUS "${target}: ${shown} compiled alone, as another source defines ${clashes} too")
      else()
        list(APPEND claimedNames ${names})
        list(APPEND claimedSignatures ${signatures})
        list(APPEND claimedFunctionNames ${functionNames})
      endif()
    endforeach()
  endforeach()
endfunction()
