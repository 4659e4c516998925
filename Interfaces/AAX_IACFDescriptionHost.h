#pragma once

#include "AAX.h"
#include "acfunknown.h"

// The host's description host, found on the host's own IACFUnknown.
class AAX_IACFDescriptionHost : public IACFUnknown
{
public:
    // Stores the host's feature object for inFeatureID through outFeatureInfo. The stored pointer carries
    // one reference, which the caller releases.
    virtual AAX_Result AcquireFeatureProperties(const _acfUID& inFeatureID,
                                                IACFUnknown** outFeatureInfo) = 0; // 3
protected:
    ~AAX_IACFDescriptionHost() = default;
};
