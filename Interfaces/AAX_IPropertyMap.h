#pragma once

#include "AAX.h"
#include "AAX_Enums.h"

class IACFUnknown;

// A numbered set of properties describing an effect, a procedure or a meter. Integer properties always
// live in the host's map; pointer properties live there when the host can hold them and are otherwise
// kept by the map object itself.
class AAX_IPropertyMap
{
public:
    virtual ~AAX_IPropertyMap() = default;

    // Non-zero when the property exists; its value is then stored through outValue.
    virtual AAX_CBoolean GetProperty(AAX_EProperty inProperty, AAX_CPropertyValue* outValue) const = 0;
    virtual AAX_CBoolean GetPointerProperty(AAX_EProperty inProperty, const void** outValue) const = 0;
    virtual AAX_Result AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue) = 0;
    virtual AAX_Result AddPointerProperty(AAX_EProperty inProperty, const void* inValue) = 0;
    virtual AAX_Result AddPointerProperty(AAX_EProperty inProperty, const char* inValue) = 0;
    virtual AAX_Result RemoveProperty(AAX_EProperty inProperty) = 0;
    virtual AAX_Result AddPropertyWithIDArray(AAX_EProperty inProperty, const AAX_SPlugInIdentifierTriad* inPluginIDs,
                                              uint32_t inNumPluginIDs) = 0;
    virtual AAX_CBoolean GetPropertyWithIDArray(AAX_EProperty inProperty,
                                                const AAX_SPlugInIdentifierTriad** outPluginIDs,
                                                uint32_t* outNumPluginIDs) const = 0;
    // The host map this object speaks to (null when there is none); no reference is added.
    virtual IACFUnknown* GetIUnknown() const = 0;
};
