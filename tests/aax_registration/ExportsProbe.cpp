// A minimal plug-in bundle: the library's exported entry points and a description routine that names one
// effect. Built like the real bundle (hidden visibility, static libraries' symbols kept private), so its
// dynamic symbol table shows what the bundle exports.

#include "AAX_ICollection.h"
#include "AAX_IEffectDescriptor.h"
#include "AAX_Init.h"

#include "AAX_Exports.cpp"

AAX_Result GetEffectDescriptions(AAX_ICollection* collection)
{
    AAX_IEffectDescriptor* const descriptor = collection->NewDescriptor();
    if (descriptor == nullptr)
        return -20004;
    descriptor->AddName("Exports Probe");
    return collection->AddEffect("com.kelvane.exportsprobe", descriptor);
}
