# The folders of src/ are floors: each may include only itself and the folders
# below it. This file holds their order and the check of every quoted include.
#
# Run alone:  cmake -DVENTREL_SRC=<folder src> -P cmake/check_layers.cmake
# (exit status non-zero and one French line per fault when a rule is broken);
# the top CMakeLists.txt includes it and calls ventrel_check_layers() when it
# configures, and again at each build through the same command.

# Bottom to top. The files at the root of src/ (version.*) lie below every folder.
set(VENTREL_LAYERS nav sim nmea files model program scenario qt raster ui app)
# The core: the standard library only, no Qt header.
set(VENTREL_CORE_LAYERS nav sim nmea files model program)
# Above the core and below the Qt floors: the standard library and yaml-cpp.
set(VENTREL_QT_FREE_LAYERS ${VENTREL_CORE_LAYERS} scenario)

# Floor of a folder: 0 for the root of src/, 1 for nav, and so on; -1 when the
# folder is not a floor.
function(ventrel_layer_rank folder out)
  if(folder STREQUAL "")
    set(${out} 0 PARENT_SCOPE)
    return()
  endif()
  list(FIND VENTREL_LAYERS "${folder}" i)
  if(i GREATER_EQUAL 0)
    math(EXPR i "${i} + 1")
  endif()
  set(${out} ${i} PARENT_SCOPE)
endfunction()

function(ventrel_layer_name folder out)
  if(folder STREQUAL "")
    set(${out} "racine de src" PARENT_SCOPE)
  else()
    set(${out} "${folder}" PARENT_SCOPE)
  endif()
endfunction()

# Checks every .h and .cpp under `src`; stops with FATAL_ERROR after listing
# every fault.
function(ventrel_check_layers src)
  if(NOT IS_DIRECTORY "${src}")
    message(FATAL_ERROR "Contrôle des couches : le dossier des sources ${src} est introuvable.")
  endif()
  file(GLOB_RECURSE files RELATIVE "${src}" "${src}/*.h" "${src}/*.cpp")
  list(SORT files)
  set(faults "")
  set(nfaults 0)
  foreach(rel IN LISTS files)
    # The folder of the file: its first path component, empty at the root.
    set(folder "")
    if(rel MATCHES "^([^/]+)/")
      set(folder "${CMAKE_MATCH_1}")
    endif()
    ventrel_layer_rank("${folder}" rank)
    if(rank LESS 0)
      string(APPEND faults "  src/${rel} : le dossier ${folder} n'est pas une couche connue "
        "(ajoutez-le à VENTREL_LAYERS dans cmake/check_layers.cmake, à sa place).\n")
      math(EXPR nfaults "${nfaults} + 1")
      continue()
    endif()
    ventrel_layer_name("${folder}" here)
    # One list element per line: the characters that cut or join CMake list
    # elements are blanked first (an include line has none of them).
    file(READ "${src}/${rel}" text)
    string(REGEX REPLACE "[][;\\]" " " text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(n 0)
    foreach(line IN LISTS lines)
      math(EXPR n "${n} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]*)[\">]")
        continue()
      endif()
      set(quote "${CMAKE_MATCH_1}")
      set(target "${CMAKE_MATCH_2}")
      if(quote STREQUAL "<")
        if(target MATCHES "^Q" AND NOT folder STREQUAL "")
          list(FIND VENTREL_QT_FREE_LAYERS "${folder}" core)
        elseif(target MATCHES "^Q")
          set(core 0)
        else()
          set(core -1)
        endif()
        list(FIND VENTREL_CORE_LAYERS "${folder}" inCore)
        if(core GREATER_EQUAL 0 AND (inCore GREATER_EQUAL 0 OR folder STREQUAL ""))
          string(APPEND faults "  src/${rel}:${n} : le dossier ${here} fait partie du noyau, qui ne voit pas Qt, "
            "et inclut <${target}>.\n")
          math(EXPR nfaults "${nfaults} + 1")
        elseif(core GREATER_EQUAL 0)
          string(APPEND faults "  src/${rel}:${n} : le dossier ${here} est sous les couches Qt et ne voit pas Qt, "
            "et inclut <${target}>.\n")
          math(EXPR nfaults "${nfaults} + 1")
        endif()
        list(FIND VENTREL_CORE_LAYERS "${folder}" core)
        if(target MATCHES "^yaml-cpp/" AND (core GREATER_EQUAL 0 OR folder STREQUAL ""))
          string(APPEND faults "  src/${rel}:${n} : le dossier ${here} fait partie du noyau, qui ne voit que la "
            "bibliothèque standard, et inclut <${target}>.\n")
          math(EXPR nfaults "${nfaults} + 1")
        endif()
        continue()
      endif()
      if(target MATCHES "(^|/)\\.\\.(/|$)")
        string(APPEND faults "  src/${rel}:${n} : « ${target} » remonte par « .. » ; "
          "écrivez le chemin depuis src/ (dossier/fichier.h).\n")
        math(EXPR nfaults "${nfaults} + 1")
        continue()
      endif()
      # "dossier/fichier.h" names a folder of src/; a bare name is a file of the
      # same folder, of the root of src/, or a generated file (moc).
      if(NOT target MATCHES "^([^/]+)/")
        continue()
      endif()
      set(to "${CMAKE_MATCH_1}")
      if(NOT IS_DIRECTORY "${src}/${to}")
        continue()
      endif()
      ventrel_layer_rank("${to}" torank)
      ventrel_layer_name("${to}" there)
      if(torank LESS 0)
        string(APPEND faults "  src/${rel}:${n} : inclut ${target}, mais le dossier ${to} "
          "n'est pas une couche connue.\n")
        math(EXPR nfaults "${nfaults} + 1")
      elseif(torank GREATER rank)
        string(APPEND faults "  src/${rel}:${n} : le dossier ${here} (couche ${rank}) inclut ${target} "
          "du dossier ${there} (couche ${torank}), qui est au-dessus.\n")
        math(EXPR nfaults "${nfaults} + 1")
      endif()
    endforeach()
  endforeach()
  if(nfaults GREATER 0)
    string(REPLACE ";" " < " order "${VENTREL_LAYERS}")
    message(FATAL_ERROR "Contrôle des couches : ${nfaults} inclusion(s) interdite(s).\n"
      "Un dossier n'inclut que lui-même et les dossiers en dessous "
      "(de bas en haut : racine de src < ${order}).\n${faults}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT DEFINED VENTREL_SRC)
    get_filename_component(VENTREL_SRC "${CMAKE_CURRENT_LIST_DIR}/../src" ABSOLUTE)
  endif()
  ventrel_check_layers("${VENTREL_SRC}")
endif()
