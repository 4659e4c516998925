// A minimal plug-in bundle: the library's exported entry points and a description routine that names one
// effect, written with JUCE as the real client is, so that the bundle carries JUCE's code as well as the
// library's. Built like the real bundle (hidden visibility, static libraries' symbols kept private), so its
// dynamic symbol table shows what the bundle exports.

#include "AAX_ICollection.h"
#include "AAX_IEffectDescriptor.h"
#include "AAX_Init.h"

#include "AAX_Exports.cpp"

#include <juce_core/juce_core.h>

AAX_Result GetEffectDescriptions(AAX_ICollection* collection)
{
    AAX_IEffectDescriptor* const descriptor = collection->NewDescriptor();
    if (descriptor == nullptr)
        return -20004;
    const juce::String name = juce::String("Exports ") + juce::String("Probe");
    descriptor->AddName(name.toRawUTF8());
    return collection->AddEffect("com.kelvane.exportsprobe", descriptor);
}
