#pragma once

#include "AAX.h"

class AAX_IEffectDescriptor;
class AAX_IPropertyMap;
class AAX_IDescriptionHost;
class IACFDefinition;

// The whole bundle as described to the host: its effects, names and version. Every descriptor and map it
// hands out belongs to the collection and dies with it.
class AAX_ICollection
{
public:
    virtual ~AAX_ICollection() = default;

    virtual AAX_IEffectDescriptor* NewDescriptor() = 0;
    virtual AAX_Result AddEffect(const char* inEffectID, AAX_IEffectDescriptor* inEffectDescriptor) = 0;
    virtual AAX_Result SetManufacturerName(const char* inPackageName) = 0;
    virtual AAX_Result AddPackageName(const char* inPackageName) = 0;
    virtual AAX_Result SetPackageVersion(uint32_t inVersion) = 0;
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;
    virtual AAX_Result SetProperties(AAX_IPropertyMap* inProperties) = 0;
    virtual AAX_IDescriptionHost* DescriptionHost() = 0;
    virtual const AAX_IDescriptionHost* DescriptionHost() const = 0;
    virtual IACFDefinition* HostDefinition() const = 0;
};
