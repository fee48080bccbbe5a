# ce_embed_resources(NAME MODULE module SCRIPT file FILES files...): an
# OBJECT library that registers the resource script and the files it names
# as the compiled-in resources of the module ("" for the program). Linking
# the library is enough: its objects register themselves.
function(ce_embed_resources name)
  set(generator "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedResourcesScript.cmake")
  cmake_parse_arguments(ARG "" "MODULE;SCRIPT" "FILES" ${ARGN})
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${name}_resources.cpp")
  get_filename_component(script "${ARG_SCRIPT}" ABSOLUTE)
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} "-DOUTPUT=${output}" "-DMODULE=${ARG_MODULE}" "-DSCRIPT=${script}"
            "-DFILES=${ARG_FILES}" -P "${generator}"
    DEPENDS "${script}" ${ARG_FILES} "${generator}"
    COMMENT "Embedding the resources of ${name}"
    VERBATIM)
  add_library(${name} OBJECT "${output}")
  target_link_libraries(${name} PUBLIC ce_controls)
endfunction()
