#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_IACFEffectDescriptor.h"
#include "AAX_IEffectDescriptor.h"
#include "ACFPtr.h"

#include <set>

class AAX_IComponentDescriptor;
class AAX_IPropertyMap;

// Proxy of one host effect descriptor (versions 1 and 2). Owns the component descriptors and property
// maps it makes.
class AAX_VEffectDescriptor : public AAX_IEffectDescriptor
{
public:
    // Throws ACF_E_POINTER (an ACFRESULT) when the host's factory query succeeds but yields nothing.
    explicit AAX_VEffectDescriptor(IACFUnknown* inHost);
    ~AAX_VEffectDescriptor() override;

    AAX_VEffectDescriptor(const AAX_VEffectDescriptor&) = delete;
    AAX_VEffectDescriptor& operator=(const AAX_VEffectDescriptor&) = delete;

    AAX_IComponentDescriptor* NewComponentDescriptor() override;
    AAX_Result AddComponent(AAX_IComponentDescriptor* inComponentDescriptor) override;
    AAX_Result AddName(const char* inPlugInName) override;
    AAX_Result AddCategory(uint32_t inCategory) override;
    AAX_Result AddCategoryBypassParameter(uint32_t inCategory, AAX_CParamID inParamID) override;
    AAX_Result AddProcPtr(void* inProcPtr, AAX_CProcPtrID inProcID) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_Result SetProperties(AAX_IPropertyMap* inProperties) override;
    AAX_Result AddResourceInfo(AAX_EResourceType inResourceType, const char* inInfo) override;
    AAX_Result AddMeterDescription(AAX_CTypeID inMeterID, const char* inMeterName,
                                   AAX_IPropertyMap* inProperties) override;
    AAX_Result AddControlMIDINode(AAX_CTypeID inNodeID, AAX_EMIDINodeType inNodeType, const char* inNodeName,
                                  uint32_t inChannelMask) override;

    // The host's version-1 interface (null when there is none); no reference added.
    IACFUnknown* GetIUnknown() const;

private:
    ACFPtr<IACFUnknown> mUnkHost;
    ACFPtr<AAX_IACFEffectDescriptor> mIACFEffectDescriptor;
    ACFPtr<AAX_IACFEffectDescriptor_V2> mIACFEffectDescriptorV2;
    std::set<AAX_IComponentDescriptor*> mComponentDescriptors;
    std::set<AAX_IPropertyMap*> mPropertyMaps;
};
