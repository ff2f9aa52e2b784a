# The help pages are written once, in resources/help, for every system: a
# passage only one system's players should read stands between a line
# <!--linux--> or <!--windows--> and a line <!--end-->.
# vantrel_help_pages(SYSTEM DIR) writes SYSTEM's pages into DIR when the
# build is configured (and again when a page changes): the other system's
# passages left out, the marker lines dropped.
function(vantrel_help_pages system dir)
  set(systems linux windows)
  list(REMOVE_ITEM systems ${system})
  file(GLOB pages ${PROJECT_SOURCE_DIR}/resources/help/*.html)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pages})
  file(MAKE_DIRECTORY ${dir})
  foreach(page ${pages})
    get_filename_component(name ${page} NAME)
    execute_process(
      COMMAND sed -e "/^<!--${systems}-->$/,/^<!--end-->$/d" -e "/^<!--\\(${system}\\|end\\)-->$/d" ${page}
      OUTPUT_FILE ${dir}/${name} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endfunction()
