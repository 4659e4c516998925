#include "HostDescriptionHost.h"

#include "AAX_UIDs.h"
#include "ACF/acfuids.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

namespace
{
const HostComponentRegistration
    registration({HostDescriptionHost::kName,
                  false,
                  {},
                  {IID_IAAXDescriptionHostV1},
                  [](HostEnvironment& environment) -> HostObject* { return new HostDescriptionHost(environment); }});
} // namespace

HostDescriptionHost::HostDescriptionHost(HostEnvironment& environment) : HostObject(environment, kName), mFacet(*this)
{
    setFeature(AAXATTR_ClientFeature_StemFormat,
               {AAX_eSupportLevel_ByProperty,
                std::map<AAX_EProperty, AAX_CPropertyValue>{
                    {static_cast<AAX_EProperty>(AAX_eStemFormat_Mono), AAX_eSupportLevel_Supported},
                    {static_cast<AAX_EProperty>(AAX_eStemFormat_Stereo), AAX_eSupportLevel_Supported}}});
}

void HostDescriptionHost::setFeature(const _acfUID& featureID, HostFeatureInfo::Description description)
{
    removeFeature(featureID);
    mFeatures.emplace_back(featureID, std::move(description));
}

void HostDescriptionHost::removeFeature(const _acfUID& featureID)
{
    for (auto it = mFeatures.begin(); it != mFeatures.end(); ++it)
        if (it->first == featureID)
        {
            mFeatures.erase(it);
            return;
        }
}

void* HostDescriptionHost::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXDescriptionHostV1)
        return static_cast<AAX_IACFDescriptionHost*>(&mFacet);
    return nullptr;
}

AAX_Result HostDescriptionHost::Facet::AcquireFeatureProperties(const _acfUID& featureID, IACFUnknown** featureInfo)
{
    const AAX_Result result = call(3, {hostArg(featureID), hostArg(static_cast<const void*>(featureInfo))});
    if (featureInfo == nullptr)
        return result;
    *featureInfo = nullptr;
    if (result != 0)
        return result;

    for (const auto& [id, description] : mHost.mFeatures)
        if (id == featureID)
        {
            HostRef<HostFeatureInfo> feature =
                makeHostObject<HostFeatureInfo>(mHost.environment(), featureID, description);
            // The stored reference belongs to the caller.
            return feature->queryInterface(IID_IACFUnknown, reinterpret_cast<void**>(featureInfo));
        }
    return 0;
}
