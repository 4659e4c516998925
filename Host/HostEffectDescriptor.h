// The host's effect descriptor (AAXCompID_AAXEffectDescriptor), versions 1 and 2
// (IID_IAAXEffectDescriptorV1, V2): names, categories, creation functions by procedure-pointer ID,
// algorithm components, properties, resources, meters and control MIDI nodes of one effect.
//
// Methods: 3 AddComponent, 4 AddName, 5 AddCategory, 6 AddCategoryBypassParameter, 7 AddProcPtr,
// 8 SetProperties, 9 AddResourceInfo, 10 AddMeterDescription (V1); 11 AddControlMIDINode (V2). An injected
// result other than 0 changes nothing. A component or map this host did not make is refused with -20004.
#pragma once

#include "AAX.h"
#include "AAX_IACFEffectDescriptor.h"
#include "HostComponentDescriptor.h"
#include "HostObject.h"
#include "HostPropertyMap.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class HostEffectDescriptor : public HostObject
{
public:
    static constexpr const char* kName = "EffectDescriptor";

    struct CategoryBypassParameter
    {
        uint32_t category = 0;
        std::string parameterID;
    };
    struct Meter
    {
        AAX_CTypeID id = 0;
        std::string name;
        HostRef<HostPropertyMap> properties;
    };
    struct ControlMIDINode
    {
        AAX_CTypeID id = 0;
        AAX_EMIDINodeType type{};
        std::string name;
        uint32_t channelMask = 0;
    };

    explicit HostEffectDescriptor(HostEnvironment& environment);

    const std::vector<std::string>& names() const { return mNames; }
    const std::vector<uint32_t>& categories() const { return mCategories; }
    const std::vector<CategoryBypassParameter>& categoryBypassParameters() const { return mCategoryBypassParameters; }
    // Creation functions by procedure-pointer ID (kAAX_ProcPtrID_Create_...).
    const std::map<AAX_CProcPtrID, void*>& procPtrs() const { return mProcPtrs; }
    void* procPtr(AAX_CProcPtrID id) const;
    const std::vector<HostRef<HostComponentDescriptor>>& components() const { return mComponents; }
    HostPropertyMap* properties() const { return mProperties.get(); }
    const std::vector<std::pair<AAX_EResourceType, std::string>>& resources() const { return mResources; }
    const std::vector<Meter>& meters() const { return mMeters; }
    const std::vector<ControlMIDINode>& controlMIDINodes() const { return mControlMIDINodes; }

    bool hasInterface(const IACFUnknown* passed) const;

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFEffectDescriptor_V2>
    {
    public:
        Facet(HostEffectDescriptor& owner, const char* interfaceName) : HostFacet(owner, interfaceName), mEffect(owner)
        {
        }
        AAX_Result AddComponent(IACFUnknown* component) override;
        AAX_Result AddName(const char* name) override;
        AAX_Result AddCategory(uint32_t category) override;
        AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameterID) override;
        AAX_Result AddProcPtr(void* procPtr, AAX_CProcPtrID procID) override;
        AAX_Result SetProperties(IACFUnknown* properties) override;
        AAX_Result AddResourceInfo(AAX_EResourceType resourceType, const char* info) override;
        AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name, IACFUnknown* properties) override;
        AAX_Result AddControlMIDINode(AAX_CTypeID nodeID, AAX_EMIDINodeType nodeType, const char name[],
                                      uint32_t channelMask) override;

    private:
        HostEffectDescriptor& mEffect;
    };

    std::vector<std::string> mNames;
    std::vector<uint32_t> mCategories;
    std::vector<CategoryBypassParameter> mCategoryBypassParameters;
    std::map<AAX_CProcPtrID, void*> mProcPtrs;
    std::vector<HostRef<HostComponentDescriptor>> mComponents;
    HostRef<HostPropertyMap> mProperties;
    std::vector<std::pair<AAX_EResourceType, std::string>> mResources;
    std::vector<Meter> mMeters;
    std::vector<ControlMIDINode> mControlMIDINodes;
    Facet mV1;
    Facet mV2;
};
