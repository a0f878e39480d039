# The layering the build enforces. Every source includes by a path rooted at src/
# ("settings/keys.h"), yet no target under src/ is given src/ itself: each gets an include
# root in the build tree that holds one symbolic link, to its own folder. Roots travel with
# target_link_libraries like any usage requirement, so a target sees its own folder and the
# folders of the targets it links, and nothing else: an include that runs upward (or
# sideways to a folder not linked) is not found and the build stops.
# tests/layering/ proves it on every build.

set(JOBCONTROL_INCLUDE_ROOTS "${CMAKE_BINARY_DIR}/include_roots")

# jc_include_root(<target> <PUBLIC|PRIVATE|INTERFACE> <folder>): gives <target> the include
# root that shows src/<folder> at "<folder>/". PUBLIC (INTERFACE for a library without
# sources) lets whatever links <target> see the folder too; PRIVATE is for programs.
function(jc_include_root target scope folder)
  if(NOT IS_DIRECTORY "${PROJECT_SOURCE_DIR}/src/${folder}")
    message(FATAL_ERROR "jc_include_root(${target}): no folder src/${folder}")
  endif()
  set(root "${JOBCONTROL_INCLUDE_ROOTS}/${target}")
  set(link "${root}/${folder}")
  get_filename_component(parent "${link}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  file(REMOVE "${link}")
  file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${folder}" "${link}" SYMBOLIC)
  target_include_directories(${target} ${scope} "$<BUILD_INTERFACE:${root}>")
endfunction()

# jc_layer(<target> <OBJECT|STATIC|INTERFACE> FOLDER <folder> [SOURCES <file>...]
#          [LINKS <target>...] [PRIVATE_LINKS <target>...] [HIDDEN]): one folder's library.
# LINKS are the layers below whose headers this one's headers use (and whoever links this
# one sees them as well); PRIVATE_LINKS are needed by its sources only. HIDDEN: the panel's
# code, whose only exported symbols are the ones marked JC_EXPORT.
function(jc_layer target kind)
  cmake_parse_arguments(ARG "HIDDEN" "FOLDER" "SOURCES;LINKS;PRIVATE_LINKS" ${ARGN})
  if(kind STREQUAL "INTERFACE")
    add_library(${target} INTERFACE)
    jc_include_root(${target} INTERFACE "${ARG_FOLDER}")
    target_link_libraries(${target} INTERFACE ${ARG_LINKS})
    return()
  endif()
  add_library(${target} ${kind} ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  if(ARG_HIDDEN)
    set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden
                                               VISIBILITY_INLINES_HIDDEN ON)
  endif()
  jc_include_root(${target} PUBLIC "${ARG_FOLDER}")
  target_link_libraries(${target} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS} jc_warnings)
endfunction()

# jc_use_headers(<target> <PUBLIC|PRIVATE> <layer>): lets <target> include a layer's
# header-only tables (and what those headers see) without linking the layer's objects:
# the hosts read the settings' plain data this way. Calling one of the layer's compiled
# functions then fails to link, as it should.
function(jc_use_headers target scope layer)
  target_include_directories(${target} ${scope}
    "$<TARGET_PROPERTY:${layer},INTERFACE_INCLUDE_DIRECTORIES>")
endfunction()
