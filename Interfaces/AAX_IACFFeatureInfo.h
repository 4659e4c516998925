#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "acfunknown.h"

// The host's information about one feature.
class AAX_IACFFeatureInfo : public IACFUnknown
{
public:
    virtual AAX_Result SupportLevel(AAX_ESupportLevel& outSupportLevel) const = 0; // 3
    // Stores the host's property map for this feature through outProperties. The stored pointer carries
    // one reference, which the caller releases.
    virtual AAX_Result AcquireProperties(IACFUnknown** outProperties) = 0; // 4
protected:
    ~AAX_IACFFeatureInfo() = default;
};
