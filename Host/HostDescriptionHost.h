// The host's description host (IID_IAAXDescriptionHostV1), offered through the host context: answers the
// plug-in's questions about host features while it describes itself.
//
// Method 3, AcquireFeatureProperties: for a known feature, stores a new feature-information object with one
// reference for the caller; an unknown feature gives 0 and nothing; an injected result other than 0 gives
// that result and nothing. By default the host knows AAXATTR_ClientFeature_StemFormat, supported by
// property, with mono and stereo supported.
#pragma once

#include "AAX_IACFDescriptionHost.h"
#include "HostFeatureInfo.h"
#include "HostObject.h"

#include <map>
#include <vector>

class HostDescriptionHost : public HostObject
{
public:
    static constexpr const char* kName = "DescriptionHost";

    explicit HostDescriptionHost(HostEnvironment& environment);

    // Configuration (before the plug-in asks).
    void setFeature(const _acfUID& featureID, HostFeatureInfo::Description description);
    void removeFeature(const _acfUID& featureID);

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFDescriptionHost>
    {
    public:
        explicit Facet(HostDescriptionHost& owner) : HostFacet(owner, "IAAXDescriptionHostV1"), mHost(owner) {}
        AAX_Result AcquireFeatureProperties(const _acfUID& featureID, IACFUnknown** featureInfo) override;

    private:
        HostDescriptionHost& mHost;
    };

    std::vector<std::pair<_acfUID, HostFeatureInfo::Description>> mFeatures;
    Facet mFacet;
};
