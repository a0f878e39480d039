# Debian packages made by CPack from the install rules, one package per install component:
#   jobcontrol         the command, the plug-in bundle, manual pages, completions, translations
#   libjobcontrol<N>   the shared library (N = its SOVERSION)
#   libjobcontrol-dev  headers, the development link, pkg-config and CMake files
#   libjobcontrol-gtk<N>   the GTK tab's shared library, when the build has a GTK host
#   jobcontrol-gtk         the GTK program that prints with the tab
#   libjobcontrol-gtk-dev  the GTK tab's header, development link and pkg-config file
#   jobcontrol-gtk3        the GTK 3 module that puts the tab in every GTK 3 application's
#                          print dialog, installed switched off (`jobcontrol desktop`)
# Install rules that name no component land in the command's package, so new files need no
# change here; a new component does (configuring stops until it has a package).
# Included last by the top-level CMakeLists.txt when JOBCONTROL_DEB_PACKAGES is on.

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "Debian packages install under /usr: configure with -DCMAKE_INSTALL_PREFIX=/usr "
                      "(scripts/package.sh does)")
endif()

set(JOBCONTROL_MAINTAINER "Job Control maintainers <jobcontrol@example.org>"
    CACHE STRING "Maintainer field of the Debian packages: Name <address>")

get_target_property(jc_soversion jobcontrol_platform SOVERSION)
set(jc_component_package_jobcontrol jobcontrol)
set(jc_component_package_lib libjobcontrol${jc_soversion})
set(jc_component_package_dev libjobcontrol-dev)
set(jc_component_package_gtk jobcontrol-gtk)
if(TARGET jobcontrol_gtk)
  get_target_property(jc_gtk_soversion jobcontrol_gtk SOVERSION)
  set(jc_component_package_gtk-lib libjobcontrol-gtk${jc_gtk_soversion})
endif()
set(jc_component_package_gtk-dev libjobcontrol-gtk-dev)
set(jc_component_package_gtk3-module jobcontrol-gtk3)

# The GTK 3 module's package holds the module (its own install rule, component
# gtk3-module) and a note on the switch; with GTK 3 at hand the package is made, and its
# maintainer scripts checked, whether or not this build has the module.
pkg_check_modules(JC_GTK3 QUIET gtk+-3.0)
if(JC_GTK3_FOUND)
  install(FILES "${CMAKE_CURRENT_LIST_DIR}/debian/gtk3-module/README.Debian"
          DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/${jc_component_package_gtk3-module}"
          COMPONENT gtk3-module)
endif()

get_cmake_property(jc_components COMPONENTS)
foreach(component IN LISTS jc_components)
  if(NOT DEFINED jc_component_package_${component})
    message(FATAL_ERROR "Install component '${component}' has no Debian package: "
                        "give it one in ${CMAKE_CURRENT_LIST_FILE}")
  endif()
endforeach()

# Every package carries its copyright file and changelog under /usr/share/doc/<package>.
# The changelog's date is the last commit's (SOURCE_DATE_EPOCH), so rebuilds are identical.
string(TIMESTAMP jc_changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(jc_doc_dir "${CMAKE_BINARY_DIR}/debian-doc")
configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in" "${jc_doc_dir}/changelog" @ONLY)
execute_process(COMMAND gzip -9nf "${jc_doc_dir}/changelog" COMMAND_ERROR_IS_FATAL ANY)
foreach(component IN LISTS jc_components)
  install(FILES "${CMAKE_CURRENT_LIST_DIR}/debian/copyright" "${jc_doc_dir}/changelog.gz"
          DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/${jc_component_package_${component}}"
          COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME jobcontrol)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${JOBCONTROL_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}/debs")
set(CPACK_STRIP_FILES ON)
# Each package has a synopsis of its own; a summary equal to CPack's default is not put in
# front of them.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_COMPONENTS_ALL ${jc_components})

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE jobcontrol)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# dpkg-shlibdeps finds our own library in the build tree; the exact-version dependency on its
# package comes from the component dependencies below.
get_target_property(jc_library_dir jobcontrol_platform LIBRARY_OUTPUT_DIRECTORY)
if(NOT jc_library_dir)
  get_target_property(jc_library_dir jobcontrol_platform BINARY_DIR)
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${jc_library_dir}")
# The packages that ship a public shared library (ours, and the GTK host's) let dpkg run
# ldconfig once through its trigger. Naming a postinst and a postrm that do not exist keeps
# CPack from writing its own that call ldconfig directly: no maintainer scripts at all.
set(jc_ldconfig_trigger "${CMAKE_CURRENT_LIST_DIR}/debian/triggers"
    "${CMAKE_BINARY_DIR}/debian-none/postinst" "${CMAKE_BINARY_DIR}/debian-none/postrm")
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA ${jc_ldconfig_trigger})
set(CPACK_DEBIAN_GTK-LIB_PACKAGE_CONTROL_EXTRA ${jc_ldconfig_trigger})
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/debian/compress_manuals.cmake")

foreach(component IN LISTS jc_components)
  string(TOUPPER "${component}" c)
  set(CPACK_DEBIAN_${c}_PACKAGE_NAME "${jc_component_package_${component}}")
endforeach()

set(CPACK_DEBIAN_JOBCONTROL_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_JOBCONTROL_DEPENDS lib)
set(CPACK_COMPONENT_JOBCONTROL_DESCRIPTION
    "print-dialog panel for job retention, filing and accounting
The Job Control panel sets job retention with a pass code, document filing on
the printer's storage, user authentication, the account number and the job's
user and job names for networked multifunction printers. Its settings reach the
printer driver's CUPS filter as job options, enciphered where they are secrets.

This package holds the jobcontrol command, which drives the panel from a
terminal or a script and prints with it, and the plug-in bundle that every
host of the panel loads.")

set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_LIB_DESCRIPTION
    "Job Control print-dialog panel - shared library
The library through which a print dialog hosts the Job Control panel: the
plug-in loader, the controls and layouts the panel works with, print settings,
PPD access and the user's preferences.")

set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libcups2-dev")
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_COMPONENT_DEV_DEPENDS lib)
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "Job Control print-dialog panel - development files
Headers, pkg-config file and CMake package for hosting the Job Control panel
in a print dialog of one's own.")

# The tab's library loads the plug-in bundle, which comes with the command's package.
set(CPACK_DEBIAN_GTK-LIB_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_GTK-LIB_DEPENDS jobcontrol lib)
set(CPACK_COMPONENT_GTK-LIB_DESCRIPTION
    "Job Control print-dialog panel - GTK 4 tab library
The library that adds the Job Control panel as a tab to the print dialog of any
GTK 4 application, with the tab's own translations.")

set(CPACK_DEBIAN_GTK_PACKAGE_SECTION gnome)
set(CPACK_COMPONENT_GTK_DEPENDS gtk-lib jobcontrol lib)
set(CPACK_COMPONENT_GTK_DESCRIPTION
    "Job Control print-dialog panel - GTK 4 print program
A desktop program that prints PDF and PostScript files from the GTK 4 print
dialog with the Job Control tab.")

set(CPACK_DEBIAN_GTK-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_GTK-DEV_PACKAGE_DEPENDS "libgtk-4-dev")
set(CPACK_DEBIAN_GTK-DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_COMPONENT_GTK-DEV_DEPENDS gtk-lib)
set(CPACK_COMPONENT_GTK-DEV_DESCRIPTION
    "Job Control print-dialog panel - GTK 4 tab, development files
Header and pkg-config file for adding the Job Control tab to the print dialog
of a GTK 4 application.")

# Installing leaves the module off (no postinst); removing or purging the package takes
# back every switch made for all users, so no application asks for a module that is gone.
set(CPACK_DEBIAN_GTK3-MODULE_PACKAGE_SECTION gnome)
set(CPACK_COMPONENT_GTK3-MODULE_DEPENDS jobcontrol lib)
set(CPACK_DEBIAN_GTK3-MODULE_PACKAGE_DEPENDS "libgtk-3-0")
set(CPACK_DEBIAN_GTK3-MODULE_PACKAGE_CONTROL_EXTRA
    "${CMAKE_CURRENT_LIST_DIR}/debian/gtk3-module/postrm" "${CMAKE_BINARY_DIR}/debian-none/postinst")
set(CPACK_COMPONENT_GTK3-MODULE_DESCRIPTION
    "Job Control print-dialog panel - tab in every GTK 3 application
A GTK 3 module that adds the Job Control tab to the print dialog of every GTK 3
application, beside the dialog's own tabs, for the printers the panel serves.
It is installed switched off: `jobcontrol desktop enable` switches it on for
every user (GNOME, and other X11 and Wayland sessions), `--user` for one.")

include(CPack)
