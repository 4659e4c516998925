# Building JUCE's AAX client (Debian's JUCE) against Kelvane's AAX interface library.
#
# Debian's package switches the AAX client off on purpose: juce_CheckSettingMacros.h carries a "Debian
# specific overrides" block that forces JucePlugin_Build_AAX to 0. kelvane_aax_client_overlay() builds, in
# the build tree only, a folder for the client whose files are symbolic links to Debian's, so that the
# client's "../utility/..." includes resolve inside the overlay, except that one header, which is generated
# from Debian's copy with exactly that block removed. JUCE itself is never edited and nothing of it enters
# the source tree.
#
# kelvane_target_plugin_identity() gives a target the plug-in's build settings (JucePlugin_... macros) that
# the client reads; the name and version come from the top-level project() call.
include_guard(GLOBAL)

# The block to remove, as Debian ships it (CRLF line endings); the LF form is accepted as well.
set(_kelvane_debian_aax_block_crlf
    "#if JucePlugin_Build_AAX\r\n# warning JUCE/Debian disabled AAX support\r\n# undef JucePlugin_Build_AAX\r\n# define JucePlugin_Build_AAX 0\r\n#endif\r\n")
set(_kelvane_debian_aax_block_lf
    "#if JucePlugin_Build_AAX\n# warning JUCE/Debian disabled AAX support\n# undef JucePlugin_Build_AAX\n# define JucePlugin_Build_AAX 0\n#endif\n")

# Creates the overlay (at configure time) and stores the overlay's juce_audio_plugin_client folder in
# <out_var>. Its juce_audio_plugin_client_AAX.cpp is the client's translation unit.
function(kelvane_aax_client_overlay out_var)
  if(NOT JUCE_MODULES_DIR)
    message(FATAL_ERROR "kelvane_aax_client_overlay: JUCE_MODULES_DIR is not set (find_package(JUCE) first)")
  endif()
  set(client_dir "${JUCE_MODULES_DIR}/juce_audio_plugin_client")
  set(overlay_dir "${CMAKE_BINARY_DIR}/juce_aax_client_overlay/juce_audio_plugin_client")
  set(settings_header "utility/juce_CheckSettingMacros.h")

  if(NOT EXISTS "${client_dir}/AAX/juce_AAX_Wrapper.cpp" OR NOT EXISTS "${client_dir}/${settings_header}")
    message(FATAL_ERROR "kelvane_aax_client_overlay: JUCE's AAX client was not found in ${client_dir}")
  endif()

  # Symbolic links to every file the client's translation unit reaches through relative includes.
  file(GLOB linked_files RELATIVE "${client_dir}"
       "${client_dir}/AAX/*" "${client_dir}/utility/*" "${client_dir}/juce_audio_plugin_client_AAX.cpp")
  list(REMOVE_ITEM linked_files "${settings_header}")
  foreach(relative_path IN LISTS linked_files)
    get_filename_component(link_dir "${overlay_dir}/${relative_path}" DIRECTORY)
    file(MAKE_DIRECTORY "${link_dir}")
    file(CREATE_LINK "${client_dir}/${relative_path}" "${overlay_dir}/${relative_path}" SYMBOLIC)
  endforeach()

  # The settings header, generated without Debian's AAX block. file(READ) drops carriage returns, so the
  # block is looked for in the raw bytes and the file's line endings are restored when it is written.
  set(header_path "${client_dir}/${settings_header}")
  file(READ "${header_path}" header_bytes HEX)
  string(HEX "${_kelvane_debian_aax_block_crlf}" block_crlf_hex)
  string(HEX "${_kelvane_debian_aax_block_lf}" block_lf_hex)
  string(FIND "${header_bytes}" "${block_crlf_hex}" block_position)
  set(line_end "\r\n")
  if(block_position EQUAL -1)
    string(FIND "${header_bytes}" "${block_lf_hex}" block_position)
    set(line_end "\n")
  endif()
  math(EXPR odd_position "${block_position} % 2")
  if(block_position EQUAL -1 OR odd_position)
    message(FATAL_ERROR
      "kelvane_aax_client_overlay: ${header_path} does not contain the expected Debian block that forces "
      "JucePlugin_Build_AAX to 0 (\"# warning JUCE/Debian disabled AAX support\"). The JUCE package has "
      "changed; check the header and update cmake/KelvaneAaxClient.cmake.")
  endif()
  file(READ "${header_path}" header_text)  # line ends are \n here
  string(REPLACE "${_kelvane_debian_aax_block_lf}"
         "/* Kelvane build: Debian's block that forces JucePlugin_Build_AAX to 0 is left out here. */\n"
         header_text "${header_text}")
  if(line_end STREQUAL "\r\n")
    string(REPLACE "\n" "\r\n" header_text "${header_text}")
  endif()
  file(WRITE "${overlay_dir}/${settings_header}.generated" "${header_text}")
  file(COPY_FILE "${overlay_dir}/${settings_header}.generated" "${overlay_dir}/${settings_header}" ONLY_IF_DIFFERENT)
  file(REMOVE "${overlay_dir}/${settings_header}.generated")

  # A changed JUCE package regenerates the overlay.
  if(NOT CMAKE_SCRIPT_MODE_FILE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 "${client_dir}/${settings_header}" "${client_dir}/AAX/juce_AAX_Wrapper.cpp")
  endif()

  set(${out_var} "${overlay_dir}" PARENT_SCOPE)
endfunction()

# The plug-in's identity and format settings as JUCE's plug-in client reads them.
function(kelvane_target_plugin_identity target scope)
  if(PROJECT_VERSION_MAJOR STREQUAL "" OR PROJECT_VERSION_MINOR STREQUAL "" OR PROJECT_VERSION_PATCH STREQUAL ""
     OR PROJECT_VERSION_MAJOR GREATER 255 OR PROJECT_VERSION_MINOR GREATER 255 OR PROJECT_VERSION_PATCH GREATER 255)
    message(FATAL_ERROR "kelvane_target_plugin_identity: project() gives no version of the form 2.5.4 "
                        "(three numbers below 256)")
  endif()
  # Reported to the host as 0x00MMmmpp: one byte each for major, minor and patch.
  math(EXPR version_code "(${PROJECT_VERSION_MAJOR} << 16) | (${PROJECT_VERSION_MINOR} << 8) | ${PROJECT_VERSION_PATCH}"
       OUTPUT_FORMAT HEXADECIMAL)
  target_compile_definitions(${target} ${scope}
    JucePlugin_Name="${PROJECT_NAME}"
    JucePlugin_Desc="${PROJECT_NAME}"
    JucePlugin_Manufacturer="ZELVO-AUDIO"
    JucePlugin_ManufacturerCode=0x4d616e75   # 'Manu'
    JucePlugin_PluginCode=0x59657373         # 'Yess'
    JucePlugin_Version=${PROJECT_VERSION}
    JucePlugin_VersionCode=${version_code}
    JucePlugin_VersionString="${PROJECT_VERSION}"
    JucePlugin_IsSynth=0
    JucePlugin_WantsMidiInput=0
    JucePlugin_ProducesMidiOutput=0
    JucePlugin_IsMidiEffect=0
    JucePlugin_EditorRequiresKeyboardFocus=0
    JucePlugin_Enable_ARA=0
    JucePlugin_Enable_IAA=0
    JucePlugin_Build_AAX=1
    JucePlugin_Build_VST=0
    JucePlugin_Build_VST3=0
    JucePlugin_Build_AU=0
    JucePlugin_Build_AUv3=0
    JucePlugin_Build_Standalone=0
    JucePlugin_Build_Unity=0
    JucePlugin_Build_LV2=0
    JucePlugin_AAXIdentifier=com.zelvo-audio.kelvane
    JucePlugin_AAXManufacturerCode=JucePlugin_ManufacturerCode
    JucePlugin_AAXProductId=JucePlugin_PluginCode
    JucePlugin_AAXCategory=2                 # dynamics
    JucePlugin_AAXDisableBypass=0
    JucePlugin_AAXDisableMultiMono=0
    JucePlugin_AAXDisableAudioSuite=0
    JucePlugin_AAXDisableDynamicProcessing=0
    JucePlugin_AAXDisableDefaultSettingsChunks=0
    JucePlugin_AAXDisableSaveRestore=0)
endfunction()
