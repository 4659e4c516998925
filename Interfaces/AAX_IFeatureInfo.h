#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "acfuid.h"

class AAX_IPropertyMap;

// What the host says about one of its features.
class AAX_IFeatureInfo
{
public:
    virtual ~AAX_IFeatureInfo() = default;

    virtual AAX_Result SupportLevel(AAX_ESupportLevel& outSupportLevel) const = 0;
    // Detailed properties of the feature; the caller owns and deletes the returned map (null if none).
    virtual AAX_IPropertyMap* AcquireProperties() const = 0;
    virtual const _acfUID& ID() const = 0;
};
