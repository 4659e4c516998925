# Test programs: GoogleTest executables whose test cases ctest discovers one by one.
#
#   kelvane_add_test_program(<name>
#       SOURCES <file>...        the program's sources
#       [LIBS <target>...]       what it links besides GoogleTest and kelvane_warnings
#       [LABELS <label>...]      ctest labels of its tests; "asan" and "tsan" also make the program part of
#                                kelvane_asan_tests / kelvane_tsan_tests, which the sanitizer stages build
#       [NEEDS_DISPLAY]          it opens windows: runs on $DISPLAY, or under xvfb-run where there is none;
#                                its tests carry the label "display"
#       [OWN_MAIN]               its sources bring main(), so GoogleTest's is not linked
#       [TIMEOUT <seconds>]      per test case
#       [TEST_FILTER <pattern>]  only the test cases that match (GoogleTest filter)
#       [PROPERTIES <name> <value>...])  further ctest properties of every test case
#
# Example: kelvane_add_test_program(aax_foundation_tests SOURCES Strings.cpp LIBS kelvane_aax LABELS asan)
include_guard(GLOBAL)

find_package(GTest REQUIRED)
include(GoogleTest)

# The programs whose tests the sanitizer stages of CI run (built with -DKELVANE_SANITIZE=...): "asan" for
# AddressSanitizer with UndefinedBehaviorSanitizer, "tsan" for ThreadSanitizer.
add_custom_target(kelvane_asan_tests)
add_custom_target(kelvane_tsan_tests)

set(_kelvane_with_display "${CMAKE_CURRENT_LIST_DIR}/with-display.sh")

function(kelvane_add_test_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NEEDS_DISPLAY;OWN_MAIN" "TIMEOUT;TEST_FILTER" "SOURCES;LIBS;LABELS;PROPERTIES")
  if(arg_UNPARSED_ARGUMENTS OR NOT arg_SOURCES)
    message(FATAL_ERROR "kelvane_add_test_program(${name} SOURCES ... [LIBS ...] [LABELS ...] [NEEDS_DISPLAY] "
                        "[OWN_MAIN] [TIMEOUT <seconds>]): unexpected '${arg_UNPARSED_ARGUMENTS}'")
  endif()

  add_executable(${name} ${arg_SOURCES})
  if(arg_OWN_MAIN)
    target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest kelvane_warnings)
  else()
    target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main kelvane_warnings)
  endif()

  set(labels ${arg_LABELS})
  if(arg_NEEDS_DISPLAY)
    list(APPEND labels display)
    # ctest runs (and lists) the program through this launcher.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "sh;${_kelvane_with_display}")
  endif()
  set(properties ${arg_PROPERTIES})
  if(arg_TIMEOUT)
    list(APPEND properties TIMEOUT ${arg_TIMEOUT})
  endif()
  if(properties)
    set(properties PROPERTIES ${properties})
  endif()
  set(filter)
  if(arg_TEST_FILTER)
    set(filter TEST_FILTER "${arg_TEST_FILTER}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_TESTS ${filter} ${properties})

  # The labels are set by a script of their own that ctest reads after the discovered tests: a list given
  # to gtest_discover_tests reaches ctest split into one label and stray words.
  if(labels)
    set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake")
    file(WRITE "${script}"
         "foreach(test IN LISTS ${name}_TESTS)\n  set_tests_properties(\"\${test}\" PROPERTIES LABELS \"${labels}\")\nendforeach()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
  endif()
  foreach(sanitizer IN ITEMS asan tsan)
    if(sanitizer IN_LIST arg_LABELS)
      add_dependencies(kelvane_${sanitizer}_tests ${name})
    endif()
  endforeach()
endfunction()
