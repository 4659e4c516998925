// The host's component factory (IID_IACFComponentFactory). Method 3, CreateComponent, makes a new instance
// of the registered component kind for the component identifier (see HostComponentRegistry.h).
#pragma once

#include "ACF/acfbaseapi.h"
#include "HostObject.h"

class HostComponentFactory : public HostObject
{
public:
    explicit HostComponentFactory(HostEnvironment& environment);

    // Log: CreateComponent(component identifier, outer pointer, interface identifier), method 3.
    // An injected result other than 0 is returned with nothing created; an unknown component identifier
    // gives 0x80000004; otherwise the new component's answer to the interface identifier.
    ACFRESULT createComponent(const acfCLSID& componentID, IACFUnknown* outer, const acfIID& interfaceID, void** out);

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<IACFComponentFactory>
    {
    public:
        Facet(HostComponentFactory& factory) : HostFacet(factory, "IACFComponentFactory"), mFactory(factory) {}
        ACFRESULT CreateComponent(const acfCLSID& componentID, IACFUnknown* outer, const acfIID& interfaceID,
                                  void** out) override
        {
            return mFactory.createComponent(componentID, outer, interfaceID, out);
        }

    private:
        HostComponentFactory& mFactory;
    };

    Facet mFacet;
};
