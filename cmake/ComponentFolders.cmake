# add_component_folders(): adds every sub-folder of the current source folder that has a
# CMakeLists.txt, in name order. Each decides itself which architectures it builds for
# (TARGET_ARCH is x86 or x64).
function(add_component_folders)
  file(GLOB children CONFIGURE_DEPENDS LIST_DIRECTORIES true
    RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
