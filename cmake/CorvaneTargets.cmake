# Helpers that make the library's targets. Warning and sanitizer flags stay
# PRIVATE to the project's own targets: nothing reaches a consumer.

add_library(corvane_headers INTERFACE)
target_include_directories(corvane_headers INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_compile_features(corvane_headers INTERFACE cxx_std_17)
target_link_libraries(corvane_headers INTERFACE Boost::headers)

add_library(corvane_build_flags INTERFACE)
target_compile_options(corvane_build_flags INTERFACE -Wall -Wextra
  $<$<BOOL:${CORVANE_WERROR}>:-Werror>)
if(CORVANE_SANITIZE)
  target_compile_options(corvane_build_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(corvane_build_flags INTERFACE -fsanitize=address,undefined)
endif()
if(CORVANE_SANITIZE_THREAD)
  target_compile_options(corvane_build_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(corvane_build_flags INTERFACE -fsanitize=thread)
endif()
# Fuzzing needs coverage instrumentation in the library code; only the fuzz
# targets themselves link the libFuzzer runtime (fuzz/CMakeLists.txt).
if(CORVANE_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(corvane_build_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Apply the project's warnings and sanitizers to a target of this tree.
function(corvane_strict target)
  target_link_libraries(${target} PRIVATE corvane_build_flags)
endfunction()

# corvane_subsystem(NAME [USES subsystem...] [PRIVATE target...]): compiles
# src/NAME/*.cpp (the current platform's back ends only) once, exactly as it goes into the shared library (hidden
# symbols, position-independent code), into the object library
# corvane_NAME_objects, and packs the same objects as the internal static
# library corvane_NAME that tests and tools link.
function(corvane_subsystem name)
  cmake_parse_arguments(arg "" "" "USES;PRIVATE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${name}/*.cpp")
  # Operating-system back ends: *_win32.cpp on Windows, *_posix.cpp elsewhere.
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(target corvane_${name})
  set(deps)
  foreach(dep IN LISTS arg_USES)
    list(APPEND deps corvane_${dep})
  endforeach()
  if(NOT sources)
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE corvane_headers ${deps} ${arg_PRIVATE})
    return()
  endif()
  add_library(${target}_objects OBJECT ${sources})
  target_include_directories(${target}_objects PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(${target}_objects PRIVATE CORVANE_BUILDING)
  set_target_properties(${target}_objects PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  # The library's calls to its own exported functions (the archive's number
  # operators, the string's members) bind within it, as direct calls.
  target_compile_options(${target}_objects PRIVATE -fno-semantic-interposition)
  target_link_libraries(${target}_objects PRIVATE corvane_headers ${arg_PRIVATE})
  corvane_strict(${target}_objects)
  add_library(${target} STATIC $<TARGET_OBJECTS:${target}_objects>)
  target_link_libraries(${target} PUBLIC corvane_headers ${deps} PRIVATE ${arg_PRIVATE})
  target_compile_definitions(${target} INTERFACE CORVANE_STATIC)
  corvane_strict(${target})
endfunction()

# The host-loaded shared library, made of every subsystem's objects.
function(corvane_shared_library)
  add_library(corvane SHARED)
  add_library(Corvane::corvane ALIAS corvane)
  target_compile_definitions(corvane PRIVATE CORVANE_BUILDING)
  foreach(name IN LISTS ARGN)
    if(TARGET corvane_${name}_objects)
      target_sources(corvane PRIVATE $<TARGET_OBJECTS:corvane_${name}_objects>)
    endif()
  endforeach()
  target_link_libraries(corvane PUBLIC corvane_headers PRIVATE pugixml::pugixml EXPAT::EXPAT)
  set_target_properties(corvane PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    EXPORT_NAME corvane)
  if(WIN32)  # corvane.dll, with its import library libcorvane.dll.a
    set_target_properties(corvane PROPERTIES PREFIX "")
  endif()
  if(NOT WIN32)  # a DLL exports what export.h marks, nothing else
    target_link_options(corvane PRIVATE
      "LINKER:--version-script=${PROJECT_SOURCE_DIR}/cmake/corvane.map")
  endif()
  if(NOT CORVANE_SANITIZE AND NOT CORVANE_SANITIZE_THREAD)
    # Sanitizer runtimes are resolved by the executable, not by the library.
    target_link_options(corvane PRIVATE "LINKER:--no-undefined")
  endif()
  set_property(TARGET corvane APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/corvane.map)
  corvane_strict(corvane)
endfunction()
