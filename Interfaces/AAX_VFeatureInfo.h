#pragma once

#include "AAX.h"
#include "AAX_IACFFeatureInfo.h"
#include "AAX_IFeatureInfo.h"
#include "ACFPtr.h"

// Proxy of one host feature-information object.
//
// Reference convention: the property map the host stores through AcquireProperties' out argument carries
// one reference, which this proxy releases once the map's proxy has taken its own.
class AAX_VFeatureInfo : public AAX_IFeatureInfo
{
public:
    AAX_VFeatureInfo(IACFUnknown* inFeature, const _acfUID& inFeatureID);
    ~AAX_VFeatureInfo() override;

    AAX_VFeatureInfo(const AAX_VFeatureInfo&) = delete;
    AAX_VFeatureInfo& operator=(const AAX_VFeatureInfo&) = delete;

    AAX_Result SupportLevel(AAX_ESupportLevel& outSupportLevel) const override;
    // The caller owns the result; null when the host has no map for this feature.
    AAX_IPropertyMap* AcquireProperties() const override;
    const _acfUID& ID() const override { return mFeatureID; }

private:
    _acfUID mFeatureID;
    ACFPtr<AAX_IACFFeatureInfo> mIACFFeatureInfo;
};
