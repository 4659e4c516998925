#include "AAX_HostAccess.h"

#include "acfuids.h"

ACFPtr<IACFComponentFactory> AAX_AcquireComponentFactory(IACFUnknown* inHost)
{
    ACFPtr<IACFComponentFactory> factory;
    if (inHost == nullptr)
        return factory;
    if (inHost->QueryInterface(IID_IACFComponentFactory, factory.outArgument()) != ACF_OK)
        return ACFPtr<IACFComponentFactory>();
    if (!factory)
        throw static_cast<ACFRESULT>(ACF_E_POINTER);
    return factory;
}
