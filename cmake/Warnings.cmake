# Warnings are errors for the project's own targets (not for imported libraries).
function(paperloom_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual -Wimplicit-fallthrough -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wshadow=local)
    # GCC 12 (Debian 12) flags std::string and std::optional code of optimized builds with
    # false overlap and uninitialized-use reports; there they stay warnings, not errors.
    if(CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE
        "$<$<NOT:$<CONFIG:Debug>>:-Wno-error=restrict;-Wno-error=maybe-uninitialized>")
    endif()
  endif()
endfunction()

# paperloom_test(NAME SOURCES... [LIBS ...] [LABELS ...])
function(paperloom_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  paperloom_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  # Shared test helpers are included as "support/...".
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    PAPERLOOM_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    PAPERLOOM_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared")
  include(GoogleTest)
  # Test discovery passes properties on a command line, where a list falls apart; ctest's -L
  # takes a regular expression, so one label "word,fields" still answers to -L word and -L fields.
  string(REPLACE ";" "," labels "${T_LABELS}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}")
endfunction()

# paperloom_fuzzer(NAME SOURCES... LIBS ...)
function(paperloom_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES} ${F_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
