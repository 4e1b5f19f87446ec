# wine_test(NAME SOURCES src... [LIBS lib...]): one GoogleTest executable, registered as one
# CTest test that runs under Wine (through the toolchain's emulator) in the build's prefix.
# Starting Wine costs far more than a test case, so cases are never registered one by one.
# SPLIT PATTERN: the cases matching the GoogleTest filter PATTERN run as a second CTest test,
# NAME_split, and the first runs the others (a long group of cases then runs beside the rest).
function(wine_test name)
  cmake_parse_arguments(ARG "" "SPLIT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE test_support gtest_main ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(tests ${TARGET_ARCH}.${name})
  if(ARG_SPLIT)
    add_test(NAME ${TARGET_ARCH}.${name} COMMAND ${name} --gtest_filter=-${ARG_SPLIT})
    add_test(NAME ${TARGET_ARCH}.${name}_split COMMAND ${name} --gtest_filter=${ARG_SPLIT})
    list(APPEND tests ${TARGET_ARCH}.${name}_split)
  else()
    add_test(NAME ${TARGET_ARCH}.${name} COMMAND ${name})
  endif()
  get_filename_component(build_root ${CMAKE_BINARY_DIR} DIRECTORY)
  set_tests_properties(${tests} PROPERTIES ENVIRONMENT "BUILD_DIR=${build_root}" TIMEOUT 300)
endfunction()

# Windows form (Z:\...) of a build path, for tests that start programs of the build.
function(wine_path_of out path)
  string(REPLACE "/" "\\\\" windows_path "${path}")
  set(${out} "Z:${windows_path}" PARENT_SCOPE)
endfunction()
