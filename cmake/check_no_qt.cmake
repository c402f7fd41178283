# Fails when a core file includes a Qt header, or when any file of the program's folders
# includes a folder above its own. The folders stack from the ground up, and a folder includes
# only folders below it:
#   platform -> model -> analysis, check -> run -> report -> view -> edit -> app
# (analysis and check stand side by side and include neither each other nor anything above
# model; cli/, tests/, bench/ and fuzz/ stand on top and are not checked).
# LIST names a file holding the core's source paths, one a line (the Qt rule); LAYERED one
# holding every source path of the folders above, Qt layer included (the folder rule).
set(_floors platform model "analysis|check" run report view edit app)

# The floor (0 = ground) of a folder name, or -1 for a folder outside the stack.
function(floor_of folder out)
  set(_i 0)
  foreach(_names IN LISTS _floors)
    if(folder MATCHES "^(${_names})$")
      set(${out} ${_i} PARENT_SCOPE)
      return()
    endif()
    math(EXPR _i "${_i} + 1")
  endforeach()
  set(${out} -1 PARENT_SCOPE)
endfunction()

set(_bad "")

# Adds to _bad the lines of `file` that include a header whose name matches `pattern`.
function(forbid_includes file pattern)
  file(STRINGS "${file}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${pattern})")
  if(_lines)
    set(_bad ${_bad} "${file}: ${_lines}" PARENT_SCOPE)
  endif()
endfunction()

file(STRINGS "${LIST}" _core)
foreach(f IN LISTS _core)
  if(EXISTS "${f}")
    forbid_includes("${f}" "Q[A-Za-z]|qt")
  endif()
endforeach()

file(STRINGS "${LAYERED}" _layered)
foreach(f IN LISTS _layered)
  if(NOT EXISTS "${f}" OR NOT f MATCHES "/([a-z_]+)/[^/]+$")
    continue()
  endif()
  floor_of("${CMAKE_MATCH_1}" _own)
  if(_own LESS 0)
    continue()
  endif()
  # Every folder of the stack on the file's floor or above it, but the file's own folder.
  set(_above "")
  set(_i 0)
  foreach(_names IN LISTS _floors)
    if(_i GREATER_EQUAL _own)
      string(REPLACE "|" ";" _list "${_names}")
      foreach(_name IN LISTS _list)
        if(NOT f MATCHES "/${_name}/[^/]+$")
          list(APPEND _above "${_name}/")
        endif()
      endforeach()
    endif()
    math(EXPR _i "${_i} + 1")
  endforeach()
  if(_above)
    list(JOIN _above "|" _pattern)
    forbid_includes("${f}" "${_pattern}")
  endif()
endforeach()

if(_bad)
  list(JOIN _bad "\n  " _msg)
  message(FATAL_ERROR "The core must not include Qt, and a folder includes only the folders "
                      "below it (platform, model, analysis and check, run, report, view, edit, "
                      "app):\n  ${_msg}")
endif()
