#include "HostComponentFactory.h"

#include "ACF/acfuids.h"
#include "HostComponentRegistry.h"

HostComponentFactory::HostComponentFactory(HostEnvironment& environment)
    : HostObject(environment, "ComponentFactory"), mFacet(*this)
{
}

ACFRESULT HostComponentFactory::createComponent(const acfCLSID& componentID, IACFUnknown* outer,
                                                const acfIID& interfaceID, void** out)
{
    const AAX_Result injected =
        receivedCall(mFacet.interfaceName(), 3,
                     {hostArg(componentID), hostArg(static_cast<const void*>(outer)), hostArg(interfaceID)});
    if (out == nullptr)
        return ACF_E_NOINTERFACE;
    *out = nullptr;
    if (injected != 0)
        return injected;

    const HostComponentType* const type = HostComponentRegistry::findByComponentID(componentID);
    if (type == nullptr)
        return ACF_E_NOINTERFACE;

    // The temporary reference frees the new component again when it does not answer interfaceID.
    HostRef<HostObject> component(type->create(environment()));
    return component->queryInterface(interfaceID, out);
}

void* HostComponentFactory::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IACFComponentFactory)
        return static_cast<IACFComponentFactory*>(&mFacet);
    return nullptr;
}
