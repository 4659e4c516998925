# kelvane_warnings: the one warnings setting of Kelvane's own code. Every target of ours links it:
#
#   target_link_libraries(<target> PRIVATE kelvane_warnings)
#
# Targets that use JUCE get it through kelvane_juce as well; JUCE's own module sources are compiled without
# it (they are not ours and not warning-free). Four-character codes ('Yess') are normal in AAX code, so
# multi-character constants are not warned about.
include_guard(GLOBAL)

add_library(kelvane_warnings INTERFACE)
target_compile_options(kelvane_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wsign-compare -Wsign-conversion -Wunreachable-code -Wcast-align
  -Wswitch-enum -Wredundant-decls -Wuninitialized -Wunused-parameter -Wstrict-aliasing
  -Wno-multichar -Wno-implicit-fallthrough -Wno-maybe-uninitialized -Wno-ignored-qualifiers -Wno-strict-overflow
  $<$<COMPILE_LANGUAGE:CXX>:-Woverloaded-virtual -Wreorder -Wzero-as-null-pointer-constant>)
