# Fails when an include points up or across the layers:
#   core -> nothing else; sim -> core; gui -> core; app -> gui, sim, core;
#   tools/cli -> core; tools/sim -> sim, core;
#   inside gui: ui -> link (the transfer dialogs) -> page -> favourites and print (what the list
#   editor opens) -> the pages -> app (the sheet), and one page folder never includes another.
#   inside core: util and res -> config, firmware, settings -> lists (the list file with its
#   programs and favourite banks) -> editor (the list document, its commands and undo history)
#   -> the rest (print, link, app and any folder not ranked here) -> production (the station
#   runs the link's jobs and writes the app's logbook).
# Also keeps Qt out of core and sim. Run as: cmake -DROOT=<source dir> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)

# Inside core a folder includes its own rank and those below; the list editor stands above the
# list file it edits, so nothing in core/lists reaches up to the editor.
set(core_rank_util 0)
set(core_rank_res 0)
set(core_rank_config 1)
set(core_rank_firmware 1)
set(core_rank_settings 1)
set(core_rank_lists 2)
set(core_rank_editor 3)
set(core_rank_production 5)

set(gui_rank_ui 0)
set(gui_rank_link 1)
set(gui_rank_page 2)
set(gui_rank_favourites 3)
set(gui_rank_print 3)
set(gui_rank_app 5)

# The rank of a folder of a layer; a folder not ranked above gets the layer's default (in core
# the rest above the editor, in gui a page or its dialogs).
set(core_rank_default 4)
set(gui_rank_default 4)
function(folder_rank layer folder out)
  if(DEFINED ${layer}_rank_${folder})
    set(${out} ${${layer}_rank_${folder}} PARENT_SCOPE)
  else()
    set(${out} ${${layer}_rank_default} PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE ${ROOT}
     ${ROOT}/core/*.h ${ROOT}/core/*.cpp ${ROOT}/sim/*.h ${ROOT}/sim/*.cpp
     ${ROOT}/gui/*.h ${ROOT}/gui/*.cpp ${ROOT}/app/*.h ${ROOT}/app/*.cpp
     ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp)

set(faults "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" layer "${source}")
  if(layer STREQUAL "tools")
    string(REGEX MATCH "^tools/[^/]+" layer "${source}")
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(NOT layer MATCHES "^(gui|app)$" AND line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
      list(APPEND faults "${source}: Qt header <${CMAKE_MATCH_1}> outside the GUI")
    endif()
    if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(target "${CMAKE_MATCH_1}")
    string(REGEX MATCH "^[^/]+" target_layer "${target}")
    if(target_layer STREQUAL "tools")
      string(REGEX MATCH "^tools/[^/]+" target_layer "${target}")
    endif()
    set(allowed "core")
    if(layer STREQUAL "sim")
      list(APPEND allowed sim)
    elseif(layer STREQUAL "gui")
      list(APPEND allowed gui)
    elseif(layer STREQUAL "app")
      list(APPEND allowed gui sim app)
    elseif(layer STREQUAL "tools/cli")
      list(APPEND allowed tools/cli)
    elseif(layer STREQUAL "tools/sim")
      list(APPEND allowed sim tools/sim)
    endif()
    if(NOT target_layer IN_LIST allowed)
      list(APPEND faults "${source}: includes \"${target}\" from layer ${target_layer}")
      continue()
    endif()
    if(layer STREQUAL "core" AND target_layer STREQUAL "core")
      string(REGEX REPLACE "^core/([^/]+)/.*" "\\1" from "${source}")
      string(REGEX REPLACE "^core/([^/]+)/.*" "\\1" to "${target}")
      folder_rank(core ${from} from_rank)
      folder_rank(core ${to} to_rank)
      if(to_rank GREATER from_rank)
        list(APPEND faults "${source}: core/${from} includes \"${target}\" from core/${to} above it")
      endif()
    endif()
    if(layer STREQUAL "gui" AND target_layer STREQUAL "gui")
      string(REGEX REPLACE "^gui/([^/]+)/.*" "\\1" from "${source}")
      string(REGEX REPLACE "^gui/([^/]+)/.*" "\\1" to "${target}")
      folder_rank(gui ${from} from_rank)
      folder_rank(gui ${to} to_rank)
      if(to_rank GREATER from_rank OR (to_rank EQUAL 4 AND from_rank EQUAL 4 AND NOT from STREQUAL to))
        list(APPEND faults "${source}: gui/${from} includes \"${target}\" from gui/${to}")
      endif()
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "Layers hold in ${count} files")
