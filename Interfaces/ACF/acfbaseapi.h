// Base host interfaces of the component-object layer.
#pragma once

#include "acfunknown.h"

// The host's definition of a plug-in, handed back to the host at registration. The library only passes
// it on; it calls none of its own methods.
class IACFPluginDefinition : public IACFUnknown
{
protected:
    ~IACFPluginDefinition() = default;
};

// The host's definition object (attributes of a description). The library only passes it on.
class IACFDefinition : public IACFUnknown
{
protected:
    ~IACFDefinition() = default;
};

// The host's component factory: creates host components by component identifier.
class IACFComponentFactory : public IACFUnknown
{
public:
    // Method 3. Creates the component componentID (aggregated into outer when that is not null, never the
    // case in this library) and stores its interfaceID interface, with one reference, through out.
    virtual ACFRESULT CreateComponent(const acfCLSID& componentID, IACFUnknown* outer, const acfIID& interfaceID,
                                      void** out) = 0;

protected:
    ~IACFComponentFactory() = default;
};
