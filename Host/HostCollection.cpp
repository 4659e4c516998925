#include "HostCollection.h"

#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "ACF/acfuids.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

namespace
{
const HostComponentRegistration registration(
    {HostCollection::kName, true, AAXCompID_AAXCollection, {}, [](HostEnvironment& environment) -> HostObject* {
         return new HostCollection(environment);
     }});
} // namespace

HostCollection::HostCollection(HostEnvironment& environment)
    : HostObject(environment, kName), mFacet(*this), mPluginDefinition(*this)
{
}

bool HostCollection::hasInterface(const IACFUnknown* passed) const
{
    return passed == static_cast<const AAX_IACFCollection*>(&mFacet)
           || passed == static_cast<const IACFPluginDefinition*>(&mPluginDefinition);
}

void* HostCollection::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXCollectionV1)
        return static_cast<AAX_IACFCollection*>(&mFacet);
    if (interfaceID == IID_IACFPluginDefinition)
        return static_cast<IACFPluginDefinition*>(&mPluginDefinition);
    return nullptr;
}

AAX_Result HostCollection::Facet::AddEffect(const char* effectID, IACFUnknown* effectDescriptor)
{
    const AAX_Result result = call(7, {hostArg(effectID), hostAddressArg(effectDescriptor)});
    if (result != 0)
        return result;
    HostRef<HostEffectDescriptor> descriptor(
        hostObjectBehind<HostEffectDescriptor>(mCollection.environment(), effectDescriptor));
    if (!descriptor)
        return AAX_ERROR_NULL_OBJECT;
    mCollection.mEffects.push_back({effectID != nullptr ? effectID : "", std::move(descriptor)});
    return 0;
}

AAX_Result HostCollection::Facet::SetManufacturerName(const char* name)
{
    const AAX_Result result = call(8, {hostArg(name)});
    if (result == 0)
        mCollection.mManufacturerName = name != nullptr ? name : "";
    return result;
}

AAX_Result HostCollection::Facet::AddPackageName(const char* name)
{
    const AAX_Result result = call(9, {hostArg(name)});
    if (result == 0)
        mCollection.mPackageNames.push_back(name != nullptr ? name : "");
    return result;
}

AAX_Result HostCollection::Facet::SetPackageVersion(uint32_t version)
{
    const AAX_Result result = call(10, {hostArg(version)});
    if (result == 0)
        mCollection.mPackageVersion = version;
    return result;
}

AAX_Result HostCollection::Facet::SetProperties(IACFUnknown* properties)
{
    const AAX_Result result = call(11, {hostAddressArg(properties)});
    if (result != 0)
        return result;
    HostRef<HostPropertyMap> map(hostObjectBehind<HostPropertyMap>(mCollection.environment(), properties));
    if (!map)
        return AAX_ERROR_NULL_OBJECT;
    mCollection.mProperties = std::move(map);
    return 0;
}
