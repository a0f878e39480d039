# Message catalogs: each <lang>.po of a folder compiled with msgfmt --check into
# <BUILD_DIR>/<lang>/LC_MESSAGES/<DOMAIN>.mo, where the program finds it in the build tree,
# and installed to <DESTINATION>/<lang>/LC_MESSAGES (in COMPONENT when given, else the
# default component).
#
#   jc_add_catalogs(<outputs-var> DOMAIN <name> PO_DIR <dir> BUILD_DIR <dir>
#                   DESTINATION <dir> [COMPONENT <component>])
#
# The .mo files made are appended to <outputs-var>, for a target to depend on.
function(jc_add_catalogs jc_outputs_var)
  cmake_parse_arguments(arg "" "DOMAIN;PO_DIR;BUILD_DIR;DESTINATION;COMPONENT" "" ${ARGN})
  set(component)
  if(arg_COMPONENT)
    set(component COMPONENT ${arg_COMPONENT})
  endif()
  file(GLOB po_files "${arg_PO_DIR}/*.po")
  set(made ${${jc_outputs_var}})
  foreach(po IN LISTS po_files)
    get_filename_component(lang "${po}" NAME_WE)
    set(mo "${arg_BUILD_DIR}/${lang}/LC_MESSAGES/${arg_DOMAIN}.mo")
    add_custom_command(OUTPUT "${mo}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${arg_BUILD_DIR}/${lang}/LC_MESSAGES"
      COMMAND ${MSGFMT_EXECUTABLE} --check -o "${mo}" "${po}"
      DEPENDS "${po}"
      COMMENT "${arg_DOMAIN} strings ${lang}")
    list(APPEND made "${mo}")
    install(FILES "${mo}" DESTINATION "${arg_DESTINATION}/${lang}/LC_MESSAGES" ${component})
  endforeach()
  set(${jc_outputs_var} ${made} PARENT_SCOPE)
endfunction()
