#include "HostDefinition.h"

#include "ACF/acfuids.h"
#include "HostComponentRegistry.h"

namespace
{
const HostComponentRegistration registration(
    {HostDefinition::kName, false, {}, {IID_IACFDefinition}, [](HostEnvironment& environment) -> HostObject* {
         return new HostDefinition(environment);
     }});
} // namespace

HostDefinition::HostDefinition(HostEnvironment& environment) : HostObject(environment, kName), mFacet(*this) {}

void* HostDefinition::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IACFDefinition)
        return static_cast<IACFDefinition*>(&mFacet);
    return nullptr;
}
