# mlf_add_test(NAME SOURCES... [LIBS ...])
# One GoogleTest executable per source folder, discovered into CTest.
function(mlf_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE mlfcore mlf_testsupport ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "MLF_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data")
endfunction()

# mlf_add_fuzz_target(NAME SOURCE CORPUS_DIR [LIBS ...])
# SOURCE defines LLVMFuzzerTestOneInput. Always builds NAME_replay, which feeds every file of
# CORPUS_DIR through it and runs as a regular test; with MLF_FUZZ and clang also builds NAME,
# a real libFuzzer binary.
function(mlf_add_fuzz_target name source corpus)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name}_replay ${source} ${CMAKE_SOURCE_DIR}/tools/fuzz/replay_main.cc)
  target_link_libraries(${name}_replay PRIVATE mlfcore ${ARG_LIBS})
  add_test(NAME ${name}_corpus COMMAND ${name}_replay ${corpus})
  if(MLF_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE mlfcore ${ARG_LIBS})
  endif()
endfunction()

# mlf_embed_file(INPUT OUTPUT)
# Writes the bytes of INPUT to OUTPUT as hex literals separated by commas, to be included
# between the braces of a byte array. Runs when CMake configures, and again whenever INPUT
# changes; OUTPUT is only rewritten when its text changes.
function(mlf_embed_file input output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
  file(READ ${input} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REPEAT "0x..," 16 line)
  string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
  file(CONFIGURE OUTPUT ${output} CONTENT "${bytes}\n" @ONLY)
endfunction()
