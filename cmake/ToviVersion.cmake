# The one version of the product: every deliverable (both programs and every library) carries it
# in its version resource, which the update check compares with the server's list and the about
# box and the start-up trace show. Raise it here and nowhere else.
set(TOVI_VERSION 1.0.0.1)

string(REPLACE "." "," TOVI_VERSION_COMMAS ${TOVI_VERSION})

# tovi_version_resource(target "description"): a version resource for the target's file.
function(tovi_version_resource target description)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "EXECUTABLE")
    set(TOVI_FILE_TYPE VFT_APP)
  else()
    set(TOVI_FILE_TYPE VFT_DLL)
  endif()
  # The file's name is known only at generation (a library's prefix may be set later).
  set(TOVI_FILE_NAME "$<TARGET_FILE_NAME:${target}>")
  set(TOVI_FILE_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}Version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/ToviVersion.rc.in ${rc}.in @ONLY)
  file(GENERATE OUTPUT ${rc} INPUT ${rc}.in)
  target_sources(${target} PRIVATE ${rc})
endfunction()
