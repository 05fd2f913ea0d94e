# Runs the real tarvelo once and checks what a user would see.
#   TARVELO        the program
#   DATA           directory the program runs in (the CSV files are named relative to it)
#   WORK           scratch directory, emptied first; "@WORK@" in ARGS stands for it
#   ARGS           arguments, separated by "|"
#   STDIN          file fed to standard input (optional)
#   EXPECT_EXIT    exit status
#   EXPECT_STDOUT  file standard output must equal (optional)
#   EXPECT_STDERR  file standard error must equal (optional)
#   EXPECT_STDERR_LINE  the one line standard error must hold ("@WORK@" as above)
#   EXPECT_STDOUT_CONTAINS  text standard output must contain (optional)
#   OUTPUT         file the run must have written, "@WORK@"-relative (optional)
#   EXPECT_OUTPUT  file OUTPUT must equal (optional)
#   ABSENT         file that must not exist after the run (optional)
#   EXPECT_FILES   files, "|"-separated, that must exist in WORK/reports and be
#                  the only ones there (optional)
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

string(REPLACE "@WORK@" "${WORK}" args "${ARGS}")
string(REPLACE "|" ";" args "${args}")

set(input_option)
if(DEFINED STDIN)
  set(input_option INPUT_FILE "${STDIN}")
endif()
execute_process(COMMAND "${TARVELO}" ${args}
  WORKING_DIRECTORY "${DATA}"
  ${input_option}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE rc)

set(failures "")
if(NOT rc STREQUAL EXPECT_EXIT)
  string(APPEND failures "exit status ${rc}, expected ${EXPECT_EXIT}\n")
endif()

function(compare what actual expected_file)
  file(READ "${expected_file}" expected)
  if(NOT actual STREQUAL expected)
    set(failures "${failures}${what} differs from ${expected_file}:\n--- got ---\n${actual}--- expected ---\n${expected}" PARENT_SCOPE)
  endif()
endfunction()

if(DEFINED EXPECT_STDOUT)
  compare("standard output" "${out}" "${EXPECT_STDOUT}")
endif()
if(DEFINED EXPECT_STDERR)
  compare("standard error" "${err}" "${EXPECT_STDERR}")
endif()
if(DEFINED EXPECT_STDERR_LINE)
  string(REPLACE "@WORK@" "${WORK}" line "${EXPECT_STDERR_LINE}")
  if(NOT err STREQUAL "${line}\n")
    string(APPEND failures "standard error is '${err}', expected the line '${line}'\n")
  endif()
endif()
if(DEFINED EXPECT_STDOUT_CONTAINS)
  string(FIND "${out}" "${EXPECT_STDOUT_CONTAINS}" at)
  if(at EQUAL -1)
    string(APPEND failures "standard output lacks '${EXPECT_STDOUT_CONTAINS}':\n${out}")
  endif()
endif()
if(DEFINED OUTPUT)
  string(REPLACE "@WORK@" "${WORK}" output "${OUTPUT}")
  if(NOT EXISTS "${output}")
    string(APPEND failures "${output} was not written\n")
  elseif(DEFINED EXPECT_OUTPUT)
    file(READ "${output}" written)
    compare("${output}" "${written}" "${EXPECT_OUTPUT}")
  endif()
endif()
if(DEFINED ABSENT)
  string(REPLACE "@WORK@" "${WORK}" absent "${ABSENT}")
  if(EXISTS "${absent}")
    string(APPEND failures "${absent} exists but should not\n")
  endif()
endif()
if(DEFINED EXPECT_FILES)
  string(REPLACE "|" ";" expected_files "${EXPECT_FILES}")
  list(SORT expected_files)
  file(GLOB found RELATIVE "${WORK}/reports" "${WORK}/reports/*")
  list(SORT found)
  if(NOT found STREQUAL expected_files)
    string(APPEND failures "reports: got '${found}', expected '${expected_files}'\n")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "tarvelo ${args}\n(stderr: ${err})\n${failures}")
endif()
