#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_IACFDescriptionHost.h"
#include "AAX_IACFPropertyMap.h"
#include "AAX_IPropertyMap.h"
#include "ACFPtr.h"

#include <map>

class IACFComponentFactory;

// Proxy of one host property map (versions 1 to 3). While the host lacks version 3, the pointer
// properties that procedure registration needs are kept here, never sent to the host.
//
// Host objects handed back through an IACFUnknown** out argument carry one reference that the receiver
// releases; the proxies take references of their own through QueryInterface and keep handed-back
// pointers no longer than the call.
class AAX_VPropertyMap : public AAX_IPropertyMap
{
public:
    // A map made by the host's component factory; null when host is null or offers no factory. The map
    // belongs to whoever called Create.
    static AAX_IPropertyMap* Create(IACFUnknown* inHost);
    // Wraps a map the host made; the caller owns the new proxy.
    static AAX_IPropertyMap* Acquire(IACFUnknown* inPropertyMapUnknown);

    AAX_VPropertyMap() = default;
    ~AAX_VPropertyMap() override;

    AAX_VPropertyMap(const AAX_VPropertyMap&) = delete;
    AAX_VPropertyMap& operator=(const AAX_VPropertyMap&) = delete;

    void InitWithFactory(IACFComponentFactory* inFactory, IACFUnknown* inHost);
    void InitWithPropertyMap(IACFUnknown* inPropertyMapUnknown, IACFUnknown* inHost);

    AAX_CBoolean GetProperty(AAX_EProperty inProperty, AAX_CPropertyValue* outValue) const override;
    AAX_CBoolean GetPointerProperty(AAX_EProperty inProperty, const void** outValue) const override;
    AAX_Result AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue) override;
    AAX_Result AddPointerProperty(AAX_EProperty inProperty, const void* inValue) override;
    AAX_Result AddPointerProperty(AAX_EProperty inProperty, const char* inValue) override;
    AAX_Result RemoveProperty(AAX_EProperty inProperty) override;
    AAX_Result AddPropertyWithIDArray(AAX_EProperty inProperty, const AAX_SPlugInIdentifierTriad* inPluginIDs,
                                      uint32_t inNumPluginIDs) override;
    AAX_CBoolean GetPropertyWithIDArray(AAX_EProperty inProperty, const AAX_SPlugInIdentifierTriad** outPluginIDs,
                                        uint32_t* outNumPluginIDs) const override;
    // The newest host version present (null when none); no reference added.
    IACFUnknown* GetIUnknown() const override;

private:
    ACFPtr<AAX_IACFPropertyMap> mIACFPropertyMap;
    ACFPtr<AAX_IACFPropertyMap_V2> mIACFPropertyMapV2;
    ACFPtr<AAX_IACFPropertyMap_V3> mIACFPropertyMapV3;
    ACFPtr<AAX_IACFDescriptionHost> mIACFDescriptionHost;
    std::map<AAX_EProperty, const void*> mLocalPointerProperties;
};
