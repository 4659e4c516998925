// JUCE's AAX client translation unit (from the build-tree overlay), compiled against the library's
// headers. The client's body sits behind its own build switches; if they ever skip it, this file must
// not compile to an empty object.
#include "juce_audio_plugin_client_AAX.cpp"

#if !JucePlugin_Build_AAX
#error "JucePlugin_Build_AAX was switched off while JUCE's AAX client was included (Debian's block is back?)"
#endif

// Defined by the client only inside its guarded body.
#ifndef JUCE_AAX_HAS_TRANSPORT_NOTIFICATION
#error "JUCE's AAX client skipped its body: the compile check would prove nothing"
#endif
