#include "AAX_VEffectDescriptor.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VPropertyMap.h"

#include <memory>

AAX_VEffectDescriptor::AAX_VEffectDescriptor(IACFUnknown* inHost) : mUnkHost(inHost)
{
    ACFPtr<IACFComponentFactory> factory = AAX_AcquireComponentFactory(inHost);
    if (!factory)
        return;

    factory->CreateComponent(AAXCompID_AAXEffectDescriptor, nullptr, IID_IAAXEffectDescriptorV1,
                             mIACFEffectDescriptor.outArgument());
    // The factory is done with once the host object exists; version 2 is the host object's business.
    factory.reset();
    if (mIACFEffectDescriptor)
        mIACFEffectDescriptor->QueryInterface(IID_IAAXEffectDescriptorV2, mIACFEffectDescriptorV2.outArgument());
}

AAX_VEffectDescriptor::~AAX_VEffectDescriptor()
{
    for (AAX_IComponentDescriptor* component : mComponentDescriptors)
        delete component;
    for (AAX_IPropertyMap* map : mPropertyMaps)
        delete map;
    mComponentDescriptors.clear();
    mPropertyMaps.clear();
    mIACFEffectDescriptorV2.reset();
    mIACFEffectDescriptor.reset();
    mUnkHost.reset();
}

AAX_IComponentDescriptor* AAX_VEffectDescriptor::NewComponentDescriptor()
{
    std::unique_ptr<AAX_VComponentDescriptor> component(new AAX_VComponentDescriptor(mUnkHost.get()));
    mComponentDescriptors.insert(component.get());
    return component.release();
}

AAX_Result AAX_VEffectDescriptor::AddComponent(AAX_IComponentDescriptor* inComponentDescriptor)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    // A null component goes on to the host as null; any other must have been made by an effect descriptor,
    // whose host object is what the host needs.
    IACFUnknown* component = nullptr;
    if (inComponentDescriptor != nullptr)
    {
        auto* const made = dynamic_cast<AAX_VComponentDescriptor*>(inComponentDescriptor);
        if (made == nullptr)
            return AAX_ERROR_NULL_OBJECT;
        component = made->GetIUnknown();
    }
    return mIACFEffectDescriptor->AddComponent(component);
}

AAX_Result AAX_VEffectDescriptor::AddName(const char* inPlugInName)
{
    return AAX_CallHost(mIACFEffectDescriptor, &AAX_IACFEffectDescriptor::AddName, inPlugInName);
}

AAX_Result AAX_VEffectDescriptor::AddCategory(uint32_t inCategory)
{
    return AAX_CallHost(mIACFEffectDescriptor, &AAX_IACFEffectDescriptor::AddCategory, inCategory);
}

AAX_Result AAX_VEffectDescriptor::AddCategoryBypassParameter(uint32_t inCategory, AAX_CParamID inParamID)
{
    return AAX_CallHost(mIACFEffectDescriptor, &AAX_IACFEffectDescriptor::AddCategoryBypassParameter, inCategory,
                        inParamID);
}

AAX_Result AAX_VEffectDescriptor::AddProcPtr(void* inProcPtr, AAX_CProcPtrID inProcID)
{
    return AAX_CallHost(mIACFEffectDescriptor, &AAX_IACFEffectDescriptor::AddProcPtr, inProcPtr, inProcID);
}

AAX_IPropertyMap* AAX_VEffectDescriptor::NewPropertyMap()
{
    std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(mUnkHost.get()));
    mPropertyMaps.insert(map.get());
    return map.release();
}

AAX_Result AAX_VEffectDescriptor::SetProperties(AAX_IPropertyMap* inProperties)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->SetProperties(inProperties != nullptr ? inProperties->GetIUnknown() : nullptr);
}

AAX_Result AAX_VEffectDescriptor::AddResourceInfo(AAX_EResourceType inResourceType, const char* inInfo)
{
    return AAX_CallHost(mIACFEffectDescriptor, &AAX_IACFEffectDescriptor::AddResourceInfo, inResourceType, inInfo);
}

AAX_Result AAX_VEffectDescriptor::AddMeterDescription(AAX_CTypeID inMeterID, const char* inMeterName,
                                                      AAX_IPropertyMap* inProperties)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->AddMeterDescription(inMeterID, inMeterName,
                                                      inProperties != nullptr ? inProperties->GetIUnknown() : nullptr);
}

AAX_Result AAX_VEffectDescriptor::AddControlMIDINode(AAX_CTypeID inNodeID, AAX_EMIDINodeType inNodeType,
                                                     const char* inNodeName, uint32_t inChannelMask)
{
    if (!mIACFEffectDescriptorV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIACFEffectDescriptorV2->AddControlMIDINode(inNodeID, inNodeType, inNodeName, inChannelMask);
}

IACFUnknown* AAX_VEffectDescriptor::GetIUnknown() const
{
    return mIACFEffectDescriptor.get();
}
