#pragma once

#include "AAX.h"
#include "AAX_IACFDescriptionHost.h"
#include "AAX_IDescriptionHost.h"
#include "ACFPtr.h"
#include "acfbaseapi.h"

// Proxy of the host's description host and of its definition object, both found on the host's
// IACFUnknown.
//
// Reference convention: the feature object the host stores through AcquireFeatureProperties' out
// argument carries one reference, which this proxy releases once it has taken its own.
class AAX_VDescriptionHost : public AAX_IDescriptionHost
{
public:
    explicit AAX_VDescriptionHost(IACFUnknown* inHostUnknown);
    ~AAX_VDescriptionHost() override;

    AAX_VDescriptionHost(const AAX_VDescriptionHost&) = delete;
    AAX_VDescriptionHost& operator=(const AAX_VDescriptionHost&) = delete;

    // The caller owns the result; null when the host has no description host or no such feature.
    AAX_IFeatureInfo* AcquireFeatureProperties(const _acfUID& inFeatureID) const override;

    // True when the host offers its description host.
    bool Supported() const { return !mIACFDescriptionHost.isNull(); }
    // The host's definition object (null when the host offers none); no reference added.
    IACFDefinition* HostDefinition() const { return mIACFDefinition.get(); }

private:
    ACFPtr<AAX_IACFDescriptionHost> mIACFDescriptionHost;
    ACFPtr<IACFDefinition> mIACFDefinition;
};
