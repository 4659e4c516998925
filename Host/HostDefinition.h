// The host's definition object (IID_IACFDefinition), offered through the host context. The plug-in only
// keeps it and passes it on; it has no methods of its own.
#pragma once

#include "ACF/acfbaseapi.h"
#include "HostObject.h"

class HostDefinition : public HostObject
{
public:
    static constexpr const char* kName = "Definition";

    explicit HostDefinition(HostEnvironment& environment);

    bool hasInterface(const IACFUnknown* passed) const { return passed == static_cast<const IACFDefinition*>(&mFacet); }

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<IACFDefinition>
    {
    public:
        explicit Facet(HostDefinition& owner) : HostFacet(owner, "IACFDefinition") {}
    };

    Facet mFacet;
};
