// The host's property map component (AAXCompID_AAXPropertyMap), versions 1 to 3
// (IID_IAAXPropertyMapV1..V3). Also made by feature information objects to describe a feature.
//
// Methods: 3 GetProperty, 4 AddProperty, 5 RemoveProperty (V1); 6 AddPropertyWithIDArray,
// 7 GetPropertyWithIDArray (V2); 8 GetPointerProperty, 9 AddPointerProperty (V3). An injected result other
// than 0 changes nothing; for the three Get methods it makes the property look absent.
#pragma once

#include "AAX.h"
#include "AAX_IACFPropertyMap.h"
#include "HostObject.h"

#include <map>
#include <vector>

class HostPropertyMap : public HostObject
{
public:
    static constexpr const char* kName = "PropertyMap";

    explicit HostPropertyMap(HostEnvironment& environment);

    // What the plug-in stored (tests and the host read these).
    const std::map<AAX_EProperty, AAX_CPropertyValue>& properties() const { return mProperties; }
    const std::map<AAX_EProperty, const void*>& pointerProperties() const { return mPointerProperties; }
    const std::map<AAX_EProperty, std::vector<AAX_SPlugInIdentifierTriad>>& idArrayProperties() const
    {
        return mIDArrayProperties;
    }
    bool hasProperty(AAX_EProperty property) const { return mProperties.count(property) != 0; }
    AAX_CPropertyValue property(AAX_EProperty property, AAX_CPropertyValue fallback = 0) const;
    const void* pointerProperty(AAX_EProperty property) const;

    // Host-side filling (e.g. a feature's map), not logged.
    void setProperty(AAX_EProperty property, AAX_CPropertyValue value) { mProperties[property] = value; }
    void setPointerProperty(AAX_EProperty property, const void* value) { mPointerProperties[property] = value; }

    bool hasInterface(const IACFUnknown* passed) const;

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFPropertyMap_V3>
    {
    public:
        Facet(HostPropertyMap& owner, const char* interfaceName) : HostFacet(owner, interfaceName), mMap(owner) {}
        AAX_CBoolean GetProperty(AAX_EProperty property, AAX_CPropertyValue* value) const override;
        AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) override;
        AAX_Result RemoveProperty(AAX_EProperty property) override;
        AAX_Result AddPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad* ids,
                                          uint32_t count) override;
        AAX_CBoolean GetPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad** ids,
                                            uint32_t* count) const override;
        AAX_CBoolean GetPointerProperty(AAX_EProperty property, const void** value) const override;
        AAX_Result AddPointerProperty(AAX_EProperty property, const void* value) override;

    private:
        HostPropertyMap& mMap;
    };

    std::map<AAX_EProperty, AAX_CPropertyValue> mProperties;
    std::map<AAX_EProperty, const void*> mPointerProperties;
    std::map<AAX_EProperty, std::vector<AAX_SPlugInIdentifierTriad>> mIDArrayProperties;
    Facet mV1;
    Facet mV2;
    Facet mV3;
};
