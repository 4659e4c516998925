// The host's information about one of its features (IID_IAAXFeatureInfoV1), made by the description host
// when the plug-in asks about a feature.
//
// Methods: 3 SupportLevel, 4 AcquireProperties. An injected result other than 0 writes nothing. A feature
// without properties answers AcquireProperties with 0 and no map; otherwise a new map holding the feature's
// properties is stored with one reference for the caller.
#pragma once

#include "AAX_Enums.h"
#include "AAX_IACFFeatureInfo.h"
#include "HostObject.h"

#include <map>
#include <optional>

class HostFeatureInfo : public HostObject
{
public:
    static constexpr const char* kName = "FeatureInfo";

    struct Description
    {
        AAX_ESupportLevel supportLevel{};
        // Absent: the feature has no property map.
        std::optional<std::map<AAX_EProperty, AAX_CPropertyValue>> properties;
    };

    HostFeatureInfo(HostEnvironment& environment, const _acfUID& featureID, Description description);

    const _acfUID& featureID() const { return mFeatureID; }

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFFeatureInfo>
    {
    public:
        explicit Facet(HostFeatureInfo& owner) : HostFacet(owner, "IAAXFeatureInfoV1"), mFeature(owner) {}
        AAX_Result SupportLevel(AAX_ESupportLevel& supportLevel) const override;
        AAX_Result AcquireProperties(IACFUnknown** properties) override;

    private:
        HostFeatureInfo& mFeature;
    };

    const _acfUID mFeatureID;
    const Description mDescription;
    Facet mFacet;
};
