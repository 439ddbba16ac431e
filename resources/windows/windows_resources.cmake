# The program's resources as the system's own, compiled with windres: icons,
# bitmaps and WAVE sounds from the same files every backend embeds, the About
# string, and (for Orvane.exe) the manifest.
#
#   orvane_add_windows_resources(TARGET [MANIFEST])
set(ORVANE_WINDOWS_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})

function(orvane_add_windows_resources target)
  cmake_parse_arguments(arg "MANIFEST" "" "" ${ARGN})
  set(assets ${PROJECT_SOURCE_DIR}/resources)
  set(lines "#pragma code_page(65001)\n")
  set(depends)
  foreach(kind IN ITEMS "ICON;icons/*.ico" "BITMAP;bitmaps/*.bmp" "WAVE;sounds/*.wav")
    list(GET kind 0 type)
    list(GET kind 1 pattern)
    file(GLOB files CONFIGURE_DEPENDS ${assets}/${pattern})
    list(SORT files)
    foreach(file IN LISTS files)
      get_filename_component(name ${file} NAME)
      if(name MATCHES "^([0-9]+)")
        string(APPEND lines "${CMAKE_MATCH_1} ${type} \"${file}\"\n")
        list(APPEND depends ${file})
      endif()
    endforeach()
  endforeach()
  string(APPEND lines "STRINGTABLE\nBEGIN\n  101 \"关于 Orvane(&A)...\"\nEND\n")
  set(name ${target}_resources)
  if(arg_MANIFEST)
    # 1 RT_MANIFEST: administrator rights, DPI awareness, common controls 6.
    string(APPEND lines "1 24 \"${ORVANE_WINDOWS_RESOURCES_DIR}/orvane.manifest\"\n")
    list(APPEND depends ${ORVANE_WINDOWS_RESOURCES_DIR}/orvane.manifest)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  file(CONFIGURE OUTPUT ${rc} CONTENT "${lines}" @ONLY)
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${name}.res.obj)
  add_custom_command(
    OUTPUT ${object}
    COMMAND ${CMAKE_RC_COMPILER} --codepage=65001 -O coff -i ${rc} -o ${object}
    DEPENDS ${rc} ${depends}
    COMMENT "Compiling the Windows resources of ${target}"
    VERBATIM)
  set_source_files_properties(${object} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${object})
endfunction()
