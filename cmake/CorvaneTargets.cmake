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

# Apply the project's warnings and sanitizers to a target of this tree.
function(corvane_strict target)
  target_link_libraries(${target} PRIVATE corvane_build_flags)
endfunction()

# corvane_subsystem(NAME [USES subsystem...] [PRIVATE target...]): the internal
# static library corvane_NAME built from src/NAME/*.cpp, compiled exactly as it
# goes into the shared library (hidden symbols, position-independent code).
function(corvane_subsystem name)
  cmake_parse_arguments(arg "" "" "USES;PRIVATE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${name}/*.cpp")
  set(target corvane_${name})
  set(deps)
  foreach(dep IN LISTS arg_USES)
    list(APPEND deps corvane_${dep})
  endforeach()
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_definitions(${target} PRIVATE CORVANE_BUILDING)
    set_target_properties(${target} PROPERTIES
      POSITION_INDEPENDENT_CODE ON
      CXX_VISIBILITY_PRESET hidden
      VISIBILITY_INLINES_HIDDEN ON)
    target_link_libraries(${target} PUBLIC corvane_headers ${deps} PRIVATE ${arg_PRIVATE})
    corvane_strict(${target})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE corvane_headers ${deps} ${arg_PRIVATE})
  endif()
endfunction()

# The host-loaded shared library: every subsystem archive taken whole.
function(corvane_shared_library)
  add_library(corvane SHARED ${PROJECT_SOURCE_DIR}/src/library_version.cpp)
  target_compile_definitions(corvane PRIVATE CORVANE_BUILDING)
  add_library(Corvane::corvane ALIAS corvane)
  foreach(name IN LISTS ARGN)
    get_target_property(kind corvane_${name} TYPE)
    if(kind STREQUAL "STATIC_LIBRARY")
      # The archives also reach the link as each other's dependencies: the
      # override makes every occurrence whole.
      target_link_libraries(corvane PRIVATE corvane_${name})
      set_property(TARGET corvane APPEND PROPERTY LINK_LIBRARY_OVERRIDE
        "WHOLE_ARCHIVE,corvane_${name}")
    endif()
  endforeach()
  target_link_libraries(corvane PUBLIC corvane_headers PRIVATE pugixml::pugixml)
  set_target_properties(corvane PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    EXPORT_NAME corvane)
  target_link_options(corvane PRIVATE "LINKER:--no-undefined")
  corvane_strict(corvane)
endfunction()
