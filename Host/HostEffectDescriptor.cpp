#include "HostEffectDescriptor.h"

#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

namespace
{
const HostComponentRegistration
    registration({HostEffectDescriptor::kName,
                  true,
                  AAXCompID_AAXEffectDescriptor,
                  {},
                  [](HostEnvironment& environment) -> HostObject* { return new HostEffectDescriptor(environment); }});

std::string text(const char* value)
{
    return value != nullptr ? value : "";
}
} // namespace

HostEffectDescriptor::HostEffectDescriptor(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXEffectDescriptorV1"), mV2(*this, "IAAXEffectDescriptorV2")
{
}

void* HostEffectDescriptor::procPtr(AAX_CProcPtrID id) const
{
    const auto found = mProcPtrs.find(id);
    return found != mProcPtrs.end() ? found->second : nullptr;
}

bool HostEffectDescriptor::hasInterface(const IACFUnknown* passed) const
{
    return passed == static_cast<const AAX_IACFEffectDescriptor*>(&mV1)
           || passed == static_cast<const AAX_IACFEffectDescriptor*>(&mV2);
}

void* HostEffectDescriptor::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXEffectDescriptorV1)
        return static_cast<AAX_IACFEffectDescriptor*>(&mV1);
    if (interfaceID == IID_IAAXEffectDescriptorV2)
        return static_cast<AAX_IACFEffectDescriptor_V2*>(&mV2);
    return nullptr;
}

AAX_Result HostEffectDescriptor::Facet::AddComponent(IACFUnknown* component)
{
    const AAX_Result result = call(3, {hostAddressArg(component)});
    if (result != 0)
        return result;
    HostRef<HostComponentDescriptor> added(hostObjectBehind<HostComponentDescriptor>(mEffect.environment(), component));
    if (!added)
        return AAX_ERROR_NULL_OBJECT;
    mEffect.mComponents.push_back(std::move(added));
    return 0;
}

AAX_Result HostEffectDescriptor::Facet::AddName(const char* name)
{
    const AAX_Result result = call(4, {hostArg(name)});
    if (result == 0)
        mEffect.mNames.push_back(text(name));
    return result;
}

AAX_Result HostEffectDescriptor::Facet::AddCategory(uint32_t category)
{
    const AAX_Result result = call(5, {hostArg(category)});
    if (result == 0)
        mEffect.mCategories.push_back(category);
    return result;
}

AAX_Result HostEffectDescriptor::Facet::AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameterID)
{
    const AAX_Result result = call(6, {hostArg(category), hostArg(parameterID)});
    if (result == 0)
        mEffect.mCategoryBypassParameters.push_back({category, text(parameterID)});
    return result;
}

AAX_Result HostEffectDescriptor::Facet::AddProcPtr(void* procPtr, AAX_CProcPtrID procID)
{
    const AAX_Result result = call(7, {hostAddressArg(procPtr), hostArg(procID)});
    if (result == 0)
        mEffect.mProcPtrs[procID] = procPtr;
    return result;
}

AAX_Result HostEffectDescriptor::Facet::SetProperties(IACFUnknown* properties)
{
    const AAX_Result result = call(8, {hostAddressArg(properties)});
    if (result != 0)
        return result;
    HostRef<HostPropertyMap> map(hostObjectBehind<HostPropertyMap>(mEffect.environment(), properties));
    if (!map)
        return AAX_ERROR_NULL_OBJECT;
    mEffect.mProperties = std::move(map);
    return 0;
}

AAX_Result HostEffectDescriptor::Facet::AddResourceInfo(AAX_EResourceType resourceType, const char* info)
{
    const AAX_Result result = call(9, {hostArg(static_cast<int32_t>(resourceType)), hostArg(info)});
    if (result == 0)
        mEffect.mResources.emplace_back(resourceType, text(info));
    return result;
}

AAX_Result HostEffectDescriptor::Facet::AddMeterDescription(AAX_CTypeID meterID, const char* name,
                                                            IACFUnknown* properties)
{
    const AAX_Result result = call(10, {hostArg(meterID), hostArg(name), hostAddressArg(properties)});
    if (result == 0)
        mEffect.mMeters.push_back(
            {meterID, text(name),
             HostRef<HostPropertyMap>(hostObjectBehind<HostPropertyMap>(mEffect.environment(), properties))});
    return result;
}

AAX_Result HostEffectDescriptor::Facet::AddControlMIDINode(AAX_CTypeID nodeID, AAX_EMIDINodeType nodeType,
                                                           const char name[], uint32_t channelMask)
{
    const AAX_Result result =
        call(11, {hostArg(nodeID), hostArg(static_cast<int32_t>(nodeType)), hostArg(name), hostArg(channelMask)});
    if (result == 0)
        mEffect.mControlMIDINodes.push_back({nodeID, nodeType, text(name), channelMask});
    return result;
}
