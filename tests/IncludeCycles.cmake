# No include cycle: the files of logic/, ui/, app/ and cli/ form a graph
# without a loop.  Run as
#   cmake -DROOT=<source folder> -P IncludeCycles.cmake
# A header and its source are one node (logic/model/panels/PanelModel stands
# for PanelModel.h and PanelModel.cpp), so A.cpp including B.h while B.h
# includes A.h is a cycle.  A quoted include is resolved from the source
# folder, then from the including file's folder; one that names no file of
# the tree (a generated or a system header) is no edge.  The script names
# each cycle it finds and fails.

cmake_policy(VERSION 3.20)

if(NOT ROOT)
  message(FATAL_ERROR "IncludeCycles.cmake needs -DROOT=<source folder>")
endif()

get_filename_component(ROOT "${ROOT}" ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE "${ROOT}"
  "${ROOT}/logic/*.h" "${ROOT}/logic/*.cpp" "${ROOT}/ui/*.h" "${ROOT}/ui/*.cpp"
  "${ROOT}/app/*.h" "${ROOT}/app/*.cpp" "${ROOT}/cli/*.h" "${ROOT}/cli/*.cpp")
list(SORT sources)

# The node of a file: its path without the extension.
function(node_of out path)
  string(REGEX REPLACE "\\.(h|cpp)$" "" node "${path}")
  set(${out} "${node}" PARENT_SCOPE)
endfunction()

# The edges: `to_<node>` lists the nodes that node includes.
set(nodes "")
set(edges 0)
foreach(source ${sources})
  node_of(from "${source}")
  list(APPEND nodes "${from}")
  get_filename_component(folder "${source}" DIRECTORY)
  file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX MATCH "\"([^\"]+)\"" unused "${line}")
    set(included "${CMAKE_MATCH_1}")
    if(EXISTS "${ROOT}/${included}" AND NOT IS_DIRECTORY "${ROOT}/${included}")
      set(target "${included}")
    elseif(EXISTS "${ROOT}/${folder}/${included}" AND NOT IS_DIRECTORY "${ROOT}/${folder}/${included}")
      file(RELATIVE_PATH target "${ROOT}" "${ROOT}/${folder}/${included}")
    else()
      continue()
    endif()
    node_of(to "${target}")
    if(to STREQUAL from)
      continue()
    endif()
    list(APPEND "to_${from}" "${to}")
    list(APPEND nodes "${to}")
    math(EXPR edges "${edges} + 1")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES nodes)
list(LENGTH nodes node_count)

# Leaves out, again and again, every node that includes no node left or that
# no node left includes: what remains lies on a cycle or between cycles.
function(prune out)
  set(left ${ARGN})
  while(TRUE)
    set(reached "")
    set(kept "")
    foreach(node ${left})
      set(goes FALSE)
      foreach(to ${to_${node}})
        if(to IN_LIST left)
          set(goes TRUE)
          list(APPEND reached "${to}")
        endif()
      endforeach()
      if(goes)
        list(APPEND kept "${node}")
      endif()
    endforeach()
    set(next "")
    foreach(node ${kept})
      if(node IN_LIST reached)
        list(APPEND next "${node}")
      endif()
    endforeach()
    if("${next}" STREQUAL "${left}")
      break()
    endif()
    set(left ${next})
  endwhile()
  set(${out} ${left} PARENT_SCOPE)
endfunction()

# Every node left includes one that is left, so a walk along the first such
# include from any of them comes back to a node it passed: that loop is a
# cycle.  Name it, take its nodes out, and look again.
set(cycles 0)
prune(left ${nodes})
while(left)
  list(GET left 0 node)
  set(path "")
  while(NOT node IN_LIST path)
    list(APPEND path "${node}")
    foreach(to ${to_${node}})
      if(to IN_LIST left)
        set(node "${to}")
        break()
      endif()
    endforeach()
  endwhile()
  list(FIND path "${node}" start)
  list(SUBLIST path ${start} -1 cycle)
  list(APPEND cycle "${node}")
  list(JOIN cycle " -> " text)
  message("include cycle: ${text}")
  math(EXPR cycles "${cycles} + 1")
  list(REMOVE_ITEM left ${cycle})
  prune(left ${left})
endwhile()

if(cycles GREATER 0)
  message(FATAL_ERROR "${cycles} include cycle(s) among ${node_count} files (a header and its source counted as one)")
endif()
message("${node_count} files (a header and its source counted as one), ${edges} includes between them, no cycle")
