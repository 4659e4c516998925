#pragma once

#include "AAX.h"
#include "acfuid.h"

class AAX_IFeatureInfo;

// Questions the plug-in may ask the host while it describes itself.
class AAX_IDescriptionHost
{
public:
    virtual ~AAX_IDescriptionHost() = default;

    // Information about one host feature; the caller owns and deletes it. Null when the host has none.
    virtual AAX_IFeatureInfo* AcquireFeatureProperties(const _acfUID& inFeatureID) const = 0;
};
