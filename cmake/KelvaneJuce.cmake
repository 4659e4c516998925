include("${CMAKE_CURRENT_LIST_DIR}/KelvaneWarnings.cmake")

# The JUCE modules Kelvane uses, compiled once into a static library that every other target links.
# Compile definitions that change JUCE's headers are PUBLIC so that every translation unit sees the same
# classes.
add_library(kelvane_juce STATIC)
target_link_libraries(kelvane_juce
  PRIVATE
    juce::juce_audio_processors
    juce::juce_audio_basics
    juce::juce_gui_basics
    juce::juce_graphics
    juce::juce_events
    juce::juce_data_structures
    juce::juce_core
  PUBLIC
    juce::juce_recommended_config_flags
  # Our warnings for the code that uses JUCE, not for JUCE's own module sources compiled here.
  INTERFACE
    kelvane_warnings)
target_compile_definitions(kelvane_juce
  PUBLIC
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=1
    JUCE_LOAD_CURL_SYMBOLS_LAZILY=0
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1)
# JUCE's text-to-number code multiplies signed integers that overflow on long digit strings (a damaged saved
# state can hold one); told that signed arithmetic wraps, the compiler keeps that defined.
target_compile_options(kelvane_juce PRIVATE -fwrapv)
# JUCE's module sources are not ours: their warnings (a deprecated curl constant, for one) are silenced so that
# a warning in the build log is always about our code.
target_compile_options(kelvane_juce PRIVATE -w)
# Consumers compile against the module headers without compiling the module sources again.
target_include_directories(kelvane_juce INTERFACE
  $<TARGET_PROPERTY:kelvane_juce,INCLUDE_DIRECTORIES>)
target_compile_definitions(kelvane_juce INTERFACE
  $<TARGET_PROPERTY:kelvane_juce,COMPILE_DEFINITIONS>)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(KELVANE_SYSTEM_LIBS REQUIRED IMPORTED_TARGET libcurl freetype2 fontconfig libpng zlib libjpeg)
target_link_libraries(kelvane_juce PUBLIC PkgConfig::KELVANE_SYSTEM_LIBS Threads::Threads ${CMAKE_DL_LIBS} rt)
