# Includes go down the layers, never up.  Run as
#   cmake -DROOT=<source folder> -P IncludeDirection.cmake
# Every quoted include of a file under logic/, ui/, app/ or cli/ that names
# one of the project's folders must lie in a folder its own folder may use,
# and every file of logic/model/ lies in one of the model's folders; the
# script lists each one that does not and fails.

# Folder of the including file, then the folders it may include from.  The
# first folder that the file's path starts with decides.
set(rules
  "logic/engine/=logic/engine/"
  "logic/text/=logic/text/"
  "logic/io/=logic/io/,logic/text/"
)
# The model's folders, lowest first: each may include its own folder, the
# folders before it, and the engine, text and io; never one after it.
set(model_folders shared panels data valves analysis pumps runs sheets settings)
set(below "logic/engine/,logic/text/,logic/io/")
foreach(folder ${model_folders})
  set(below "logic/model/${folder}/,${below}")
  list(APPEND rules "logic/model/${folder}/=${below}")
endforeach()
list(APPEND rules
  "ui/widgets/=logic/,ui/widgets/"
  "ui/platform/=logic/,ui/platform/"
  "ui/dialogs/=logic/,ui/widgets/,ui/platform/,ui/dialogs/"
  "ui/sheet/=logic/,ui/sheet/"
  "ui/=logic/,ui/"
  "app/=logic/,ui/,app/"
  "cli/=logic/,cli/,ui/sheet/"
)
set(project_folders logic/ ui/ app/ cli/ fuzz/ bench/ tests/)

# Sets `out` to TRUE when `path` starts with one of the folders.
function(starts_with_any out path)
  foreach(folder ${ARGN})
    if(path MATCHES "^${folder}")
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

if(NOT ROOT)
  message(FATAL_ERROR "IncludeDirection.cmake needs -DROOT=<source folder>")
endif()

file(GLOB_RECURSE sources RELATIVE "${ROOT}"
  "${ROOT}/logic/*.h" "${ROOT}/logic/*.cpp" "${ROOT}/ui/*.h" "${ROOT}/ui/*.cpp"
  "${ROOT}/app/*.h" "${ROOT}/app/*.cpp" "${ROOT}/cli/*.h" "${ROOT}/cli/*.cpp")
list(SORT sources)

set(faults 0)
set(loose 0)
set(checked 0)
foreach(source ${sources})
  if(source MATCHES "^logic/model/[^/]+$")
    message("${source}: lies in none of the model's folders")
    math(EXPR loose "${loose} + 1")
    continue()
  endif()
  set(allowed "")
  foreach(rule ${rules})
    string(REPLACE "=" ";" parts "${rule}")
    list(GET parts 0 folder)
    if(source MATCHES "^${folder}")
      list(GET parts 1 allowed)
      string(REPLACE "," ";" allowed "${allowed}")
      break()
    endif()
  endforeach()
  file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX MATCH "\"([^\"]+)\"" unused "${line}")
    set(included "${CMAKE_MATCH_1}")
    starts_with_any(ours "${included}" ${project_folders})
    if(NOT ours)
      continue()
    endif()
    math(EXPR checked "${checked} + 1")
    starts_with_any(ok "${included}" ${allowed})
    if(NOT ok)
      message("${source}: includes ${included}, which is not below it")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

if(faults GREATER 0 OR loose GREATER 0)
  message(FATAL_ERROR "${faults} include(s) go up or sideways across the layers, "
                      "${loose} model file(s) outside the model's folders")
endif()
message("${checked} includes of the project's folders, all going down")
