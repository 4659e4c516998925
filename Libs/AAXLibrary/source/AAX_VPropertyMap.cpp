#include "AAX_VPropertyMap.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"
#include "acfbaseapi.h"

#include <memory>

namespace
{
// Stem formats from this value on are only accepted by hosts that can be asked which formats they
// support (they offer a description host); older hosts reject the registration otherwise.
constexpr uint32_t kFirstStemFormatNeedingDescriptionHost = 0x000D0000u;
// Two values above that limit that every host understands.
constexpr uint32_t kStemFormatNone = 0xFFFF0000u;
constexpr uint32_t kStemFormatAny = 0xFF9C0000u;

bool IsStemFormatProperty(AAX_EProperty property)
{
    return property == AAX_eProperty_InputStemFormat || property == AAX_eProperty_OutputStemFormat;
}
} // namespace

AAX_IPropertyMap* AAX_VPropertyMap::Create(IACFUnknown* inHost)
{
    if (inHost == nullptr)
        return nullptr;

    ACFPtr<IACFComponentFactory> factory;
    if (inHost->QueryInterface(IID_IACFComponentFactory, factory.outArgument()) != ACF_OK)
        return nullptr;

    std::unique_ptr<AAX_VPropertyMap> map(new AAX_VPropertyMap);
    map->InitWithFactory(factory.get(), inHost); // on a throw the map and the factory are released
    return map.release();
}

AAX_IPropertyMap* AAX_VPropertyMap::Acquire(IACFUnknown* inPropertyMapUnknown)
{
    std::unique_ptr<AAX_VPropertyMap> map(new AAX_VPropertyMap);
    map->InitWithPropertyMap(inPropertyMapUnknown, inPropertyMapUnknown);
    return map.release();
}

AAX_VPropertyMap::~AAX_VPropertyMap()
{
    mLocalPointerProperties.clear();
    mIACFDescriptionHost.reset();
    mIACFPropertyMapV3.reset();
    mIACFPropertyMapV2.reset();
    mIACFPropertyMap.reset();
}

void AAX_VPropertyMap::InitWithFactory(IACFComponentFactory* inFactory, IACFUnknown* inHost)
{
    if (inFactory == nullptr)
        return;

    inFactory->CreateComponent(AAXCompID_AAXPropertyMap, nullptr, IID_IAAXPropertyMapV1,
                               mIACFPropertyMap.outArgument());
    if (mIACFPropertyMap)
    {
        mIACFPropertyMap->QueryInterface(IID_IAAXPropertyMapV2, mIACFPropertyMapV2.outArgument());
        mIACFPropertyMap->QueryInterface(IID_IAAXPropertyMapV3, mIACFPropertyMapV3.outArgument());
    }

    // The description host may be found on any of these; the first that offers it wins.
    IACFUnknown* const candidates[] = {inHost, inFactory, mIACFPropertyMapV2.get(), mIACFPropertyMapV3.get(),
                                       mIACFPropertyMap.get()};
    for (IACFUnknown* candidate : candidates)
    {
        if (candidate == nullptr)
            continue;
        candidate->QueryInterface(IID_IAAXDescriptionHostV1, mIACFDescriptionHost.outArgument());
        if (mIACFDescriptionHost)
            break;
    }
}

void AAX_VPropertyMap::InitWithPropertyMap(IACFUnknown* inPropertyMapUnknown, IACFUnknown* inHost)
{
    if (inPropertyMapUnknown == nullptr)
        return;

    inPropertyMapUnknown->QueryInterface(IID_IAAXPropertyMapV1, mIACFPropertyMap.outArgument());
    inPropertyMapUnknown->QueryInterface(IID_IAAXPropertyMapV2, mIACFPropertyMapV2.outArgument());
    inPropertyMapUnknown->QueryInterface(IID_IAAXPropertyMapV3, mIACFPropertyMapV3.outArgument());

    if (inHost != nullptr)
        inHost->QueryInterface(IID_IAAXDescriptionHostV1, mIACFDescriptionHost.outArgument());
    if (!mIACFDescriptionHost)
        inPropertyMapUnknown->QueryInterface(IID_IAAXDescriptionHostV1, mIACFDescriptionHost.outArgument());
}

AAX_CBoolean AAX_VPropertyMap::GetProperty(AAX_EProperty inProperty, AAX_CPropertyValue* outValue) const
{
    if (!mIACFPropertyMap)
        return false;
    return mIACFPropertyMap->GetProperty(inProperty, outValue);
}

AAX_CBoolean AAX_VPropertyMap::GetPointerProperty(AAX_EProperty inProperty, const void** outValue) const
{
    if (mIACFPropertyMapV3)
        return mIACFPropertyMapV3->GetPointerProperty(inProperty, outValue);

    if (outValue == nullptr)
        return false;
    const auto found = mLocalPointerProperties.find(inProperty);
    if (found == mLocalPointerProperties.end())
        return false;
    *outValue = found->second;
    return true;
}

AAX_Result AAX_VPropertyMap::AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue)
{
    const uint32_t value = static_cast<uint32_t>(inValue);
    if (IsStemFormatProperty(inProperty) && !mIACFDescriptionHost && value >= kFirstStemFormatNeedingDescriptionHost
        && value != kStemFormatNone && value != kStemFormatAny)
        return AAX_ERROR_PROPERTY_UNDEFINED;

    if (!mIACFPropertyMap)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFPropertyMap->AddProperty(inProperty, inValue);
}

AAX_Result AAX_VPropertyMap::AddPointerProperty(AAX_EProperty inProperty, const void* inValue)
{
    if (mIACFPropertyMapV3)
        return mIACFPropertyMapV3->AddPointerProperty(inProperty, inValue);

    const auto& keptLocally = AAX_VComponentDescriptor::PointerPropertiesUsedByAddProcessProc();
    if (keptLocally.count(inProperty) == 0)
        return AAX_ERROR_UNIMPLEMENTED;
    mLocalPointerProperties[inProperty] = inValue;
    return AAX_SUCCESS;
}

AAX_Result AAX_VPropertyMap::AddPointerProperty(AAX_EProperty inProperty, const char* inValue)
{
    return AddPointerProperty(inProperty, static_cast<const void*>(inValue));
}

AAX_Result AAX_VPropertyMap::RemoveProperty(AAX_EProperty inProperty)
{
    return AAX_CallHost(mIACFPropertyMap, &AAX_IACFPropertyMap::RemoveProperty, inProperty);
}

AAX_Result AAX_VPropertyMap::AddPropertyWithIDArray(AAX_EProperty inProperty,
                                                    const AAX_SPlugInIdentifierTriad* inPluginIDs,
                                                    uint32_t inNumPluginIDs)
{
    if (!mIACFPropertyMapV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIACFPropertyMapV2->AddPropertyWithIDArray(inProperty, inPluginIDs, inNumPluginIDs);
}

AAX_CBoolean AAX_VPropertyMap::GetPropertyWithIDArray(AAX_EProperty inProperty,
                                                      const AAX_SPlugInIdentifierTriad** outPluginIDs,
                                                      uint32_t* outNumPluginIDs) const
{
    if (!mIACFPropertyMapV2)
        return false;
    return mIACFPropertyMapV2->GetPropertyWithIDArray(inProperty, outPluginIDs, outNumPluginIDs);
}

IACFUnknown* AAX_VPropertyMap::GetIUnknown() const
{
    if (mIACFPropertyMapV3)
        return mIACFPropertyMapV3.get();
    if (mIACFPropertyMapV2)
        return mIACFPropertyMapV2.get();
    return mIACFPropertyMap.get();
}
