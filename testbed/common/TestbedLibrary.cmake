# testbed_library(TARGET OUTPUT_NAME DIR VERSION SOURCES...): a 32-bit DLL of the emulated
# platform named OUTPUT_NAME.dll in DIR, whose version resource carries VERSION (a.b.c.d).
function(testbed_library target output_name dir version)
  string(REPLACE "." ";" parts ${version})
  list(GET parts 0 major)
  list(GET parts 1 minor)
  list(GET parts 2 build)
  list(GET parts 3 revision)
  add_library(${target} SHARED ${ARGN} ${TESTBED_COMMON_DIR}/version.rc)
  target_compile_definitions(${target} PRIVATE
    VER_MAJOR=${major} VER_MINOR=${minor} VER_BUILD=${build} VER_REVISION=${revision}
    VER_TEXT=${version} VER_NAME=${output_name}.dll)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${output_name} PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${dir} LIBRARY_OUTPUT_DIRECTORY ${dir}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${target})
endfunction()
