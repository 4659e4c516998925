#include "HostFeatureInfo.h"

#include "AAX_UIDs.h"
#include "ACF/acfuids.h"
#include "HostDescriptionSupport.h"
#include "HostPropertyMap.h"

HostFeatureInfo::HostFeatureInfo(HostEnvironment& environment, const _acfUID& featureID, Description description)
    : HostObject(environment, kName), mFeatureID(featureID), mDescription(std::move(description)), mFacet(*this)
{
}

void* HostFeatureInfo::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXFeatureInfoV1)
        return static_cast<AAX_IACFFeatureInfo*>(&mFacet);
    return nullptr;
}

AAX_Result HostFeatureInfo::Facet::SupportLevel(AAX_ESupportLevel& supportLevel) const
{
    const AAX_Result result = call(3, {hostArg(static_cast<const void*>(&supportLevel))});
    if (result == 0)
        supportLevel = mFeature.mDescription.supportLevel;
    return result;
}

AAX_Result HostFeatureInfo::Facet::AcquireProperties(IACFUnknown** properties)
{
    const AAX_Result result = call(4, {hostArg(static_cast<const void*>(properties))});
    if (properties == nullptr)
        return result;
    *properties = nullptr;
    if (result != 0 || !mFeature.mDescription.properties)
        return result;

    HostRef<HostPropertyMap> map = makeHostObject<HostPropertyMap>(mFeature.environment());
    for (const auto& [property, value] : *mFeature.mDescription.properties)
        map->setProperty(property, value);
    // The stored reference belongs to the caller.
    return map->queryInterface(IID_IACFUnknown, reinterpret_cast<void**>(properties));
}
