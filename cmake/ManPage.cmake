# marbeck_man_page(<name> <scdoc source>): builds <name>.gz from its scdoc source (gzip -9n, as
# Debian installs man pages, without a time stamp so that builds repeat) and installs it in man1.
# Without scdoc the page is left out and the build says so.
find_program(SCDOC scdoc)
function(marbeck_man_page name source)
  if(NOT SCDOC)
    message(STATUS "scdoc not found; the man page ${name} is not built")
    return()
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${name})
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${SCDOC} < ${source} > ${page}
    COMMAND gzip -9nf ${page}
    DEPENDS ${source}
    COMMENT "Man page ${name}")
  add_custom_target(${name}-man ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
