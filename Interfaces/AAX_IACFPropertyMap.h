#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "acfunknown.h"

// The host's property map, version 1: integer properties.
class AAX_IACFPropertyMap : public IACFUnknown
{
public:
    virtual AAX_CBoolean GetProperty(AAX_EProperty inProperty, AAX_CPropertyValue* outValue) const = 0; // 3
    virtual AAX_Result AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue) = 0;           // 4
    virtual AAX_Result RemoveProperty(AAX_EProperty inProperty) = 0;                                    // 5
protected:
    ~AAX_IACFPropertyMap() = default;
};

// Version 2 adds properties whose value is an array of plug-in identifier triads.
class AAX_IACFPropertyMap_V2 : public AAX_IACFPropertyMap
{
public:
    virtual AAX_Result AddPropertyWithIDArray(AAX_EProperty inProperty, const AAX_SPlugInIdentifierTriad* inPluginIDs,
                                              uint32_t inNumPluginIDs) = 0; // 6
    virtual AAX_CBoolean GetPropertyWithIDArray(AAX_EProperty inProperty,
                                                const AAX_SPlugInIdentifierTriad** outPluginIDs,
                                                uint32_t* outNumPluginIDs) const = 0; // 7
protected:
    ~AAX_IACFPropertyMap_V2() = default;
};

// Version 3 adds pointer-valued properties.
class AAX_IACFPropertyMap_V3 : public AAX_IACFPropertyMap_V2
{
public:
    virtual AAX_CBoolean GetPointerProperty(AAX_EProperty inProperty, const void** outValue) const = 0; // 8
    virtual AAX_Result AddPointerProperty(AAX_EProperty inProperty, const void* inValue) = 0;           // 9
protected:
    ~AAX_IACFPropertyMap_V3() = default;
};
