# Fails when a core file includes a Qt header, a report file a drawing header (report lines
# know nothing of pictures; the printed pages that combine both are composed in view/), or an
# engine file the run (the run owns the engine; the engine reads only the item
# records, units and number texts of model/, which include nothing above them).
# LIST names a file holding one source path a line.
file(STRINGS "${LIST}" _files)
set(_bad "")

# Adds to _bad the lines of `file` that include a header whose name matches `pattern`.
function(forbid_includes file pattern)
  file(STRINGS "${file}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${pattern})")
  if(_lines)
    set(_bad ${_bad} "${file}: ${_lines}" PARENT_SCOPE)
  endif()
endfunction()

foreach(f IN LISTS _files)
  if(EXISTS "${f}")
    forbid_includes("${f}" "Q[A-Za-z]|qt")
    if(f MATCHES "/analysis/[^/]*$")
      forbid_includes("${f}" "run/|check/|report/|view/|edit/|app/")
    endif()
    if(f MATCHES "/report/[^/]*$")
      forbid_includes("${f}" "view/")
    endif()
  endif()
endforeach()
if(_bad)
  list(JOIN _bad "\n  " _msg)
  message(FATAL_ERROR "The core library must not include Qt, nor report/ the drawings of view/, nor the engine the document:\n  ${_msg}")
endif()
