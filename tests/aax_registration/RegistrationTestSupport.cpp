#include "RegistrationTestSupport.h"

#include <utility>

namespace
{
std::function<AAX_Result(AAX_ICollection*)> gRoutine;
} // namespace

// The plug-in's description routine, as the library declares it.
AAX_Result GetEffectDescriptions(AAX_ICollection* collection)
{
    return gRoutine ? gRoutine(collection) : 0;
}

void SetDescriptionRoutine(std::function<AAX_Result(AAX_ICollection*)> routine)
{
    gRoutine = std::move(routine);
}
