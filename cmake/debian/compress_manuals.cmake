# Run by CPack once every component is staged, before the packages are made: Debian ships
# manual pages compressed with gzip -9n (no name, no time stamp: rebuilds are identical).
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(file MATCHES "/usr/share/man/" AND NOT file MATCHES "\\.gz$" AND NOT IS_SYMLINK "${file}")
    execute_process(COMMAND gzip -9nf "${file}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
