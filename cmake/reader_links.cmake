# The viewer and fennick-cli only read the dealer's files: no library that writes them may be in
# their link closure. Checked when the build is configured, over every target each one links,
# directly or through another library.
set(FENNICK_WRITER_LIBRARIES fennick_engine_writer fennick_records_writer fennick_sharewriter
    fennick_demo)

function(fennick_link_closure target out)
  set(seen ${${out}})
  get_target_property(links ${target} LINK_LIBRARIES)
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  foreach(link IN LISTS links interface)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
    if(NOT TARGET "${link}" OR "${link}" IN_LIST seen)
      continue()
    endif()
    list(APPEND seen "${link}")
    fennick_link_closure("${link}" seen)
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(fennick_require_reader_only)
  foreach(target IN LISTS ARGN)
    if(NOT TARGET ${target})
      continue()
    endif()
    set(closure "")
    fennick_link_closure(${target} closure)
    foreach(writer IN LISTS FENNICK_WRITER_LIBRARIES)
      if(writer IN_LIST closure)
        message(FATAL_ERROR "${target} links the writer library ${writer}")
      endif()
    endforeach()
  endforeach()
endfunction()

fennick_require_reader_only(Fennick fennick-cli fennick_store fennick_core fennick_viewer_widgets
  fennick_viewer_dialogs fennick_cli_lib)
