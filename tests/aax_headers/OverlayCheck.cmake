# Runs kelvane_aax_client_overlay() on a small stand-in for Debian's client folder (cmake -P).
#   -DMODE=with_block     the settings header holds Debian's AAX block (CRLF): the overlay drops exactly it
#   -DMODE=without_block  the block is missing: the overlay must stop with its error message
#   -DWORK_DIR=<dir>      scratch folder
cmake_minimum_required(VERSION 3.22)
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/KelvaneAaxClient.cmake")

file(REMOVE_RECURSE "${WORK_DIR}")
set(JUCE_MODULES_DIR "${WORK_DIR}/modules")
set(CMAKE_BINARY_DIR "${WORK_DIR}/build")
set(client "${JUCE_MODULES_DIR}/juce_audio_plugin_client")
file(WRITE "${client}/AAX/juce_AAX_Wrapper.cpp" "#include \"../utility/juce_CheckSettingMacros.h\"\n")
file(WRITE "${client}/juce_audio_plugin_client_AAX.cpp" "#include \"AAX/juce_AAX_Wrapper.cpp\"\n")
file(WRITE "${client}/utility/juce_IncludeModuleHeaders.h" "// module headers\n")

set(before "/* Debian specific overrides */\r\n#if JucePlugin_Build_AU\r\n# undef JucePlugin_Build_AU\r\n# define JucePlugin_Build_AU 0\r\n#endif\r\n\r\n")
set(after "// The following checks\r\n#if JucePlugin_Build_AAX && ! defined (JucePlugin_AAXIdentifier)\r\n #error \"AAX id\"\r\n#endif\r\n")
if(MODE STREQUAL "with_block")
  file(WRITE "${client}/utility/juce_CheckSettingMacros.h" "${before}${_kelvane_debian_aax_block_crlf}\r\n${after}")
else()
  file(WRITE "${client}/utility/juce_CheckSettingMacros.h" "${before}${after}")
endif()

kelvane_aax_client_overlay(overlay)

set(generated "${overlay}/utility/juce_CheckSettingMacros.h")
file(READ "${generated}" generated_hex HEX)
string(HEX "${before}/* Kelvane build: Debian's block that forces JucePlugin_Build_AAX to 0 is left out here. */\r\n\r\n${after}"
       expected_hex)
if(NOT generated_hex STREQUAL expected_hex)
  message(FATAL_ERROR "generated settings header differs from Debian's minus the AAX block")
endif()
foreach(linked IN ITEMS "AAX/juce_AAX_Wrapper.cpp" "juce_audio_plugin_client_AAX.cpp" "utility/juce_IncludeModuleHeaders.h")
  if(NOT IS_SYMLINK "${overlay}/${linked}")
    message(FATAL_ERROR "${linked} is not a symbolic link in the overlay")
  endif()
  file(READ_SYMLINK "${overlay}/${linked}" target)
  if(NOT target STREQUAL "${client}/${linked}")
    message(FATAL_ERROR "${linked} links to ${target}")
  endif()
endforeach()
if(IS_SYMLINK "${generated}")
  message(FATAL_ERROR "the settings header must be a generated file, not a link")
endif()
message(STATUS "overlay check passed")
