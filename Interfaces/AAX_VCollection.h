#pragma once

#include "AAX.h"
#include "AAX_IACFCollection.h"
#include "AAX_ICollection.h"
#include "AAX_VDescriptionHost.h"
#include "ACFPtr.h"

#include <set>

class AAX_IEffectDescriptor;
class AAX_IPropertyMap;

// Proxy of the host's collection: what the description routine fills during registration. Owns every
// effect descriptor and property map it makes, and with them everything those made.
class AAX_VCollection : public AAX_ICollection
{
public:
    // Throws ACF_E_POINTER (an ACFRESULT) when the host's factory query succeeds but yields nothing.
    explicit AAX_VCollection(IACFUnknown* inHostUnknown);
    ~AAX_VCollection() override;

    AAX_VCollection(const AAX_VCollection&) = delete;
    AAX_VCollection& operator=(const AAX_VCollection&) = delete;

    AAX_IEffectDescriptor* NewDescriptor() override;
    AAX_Result AddEffect(const char* inEffectID, AAX_IEffectDescriptor* inEffectDescriptor) override;
    AAX_Result SetManufacturerName(const char* inPackageName) override;
    AAX_Result AddPackageName(const char* inPackageName) override;
    AAX_Result SetPackageVersion(uint32_t inVersion) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_Result SetProperties(AAX_IPropertyMap* inProperties) override;
    AAX_IDescriptionHost* DescriptionHost() override;
    const AAX_IDescriptionHost* DescriptionHost() const override;
    IACFDefinition* HostDefinition() const override;

    // The host's collection (null when the host made none); no reference added.
    IACFUnknown* GetIUnknown() const;

private:
    ACFPtr<IACFUnknown> mUnkHost;
    ACFPtr<AAX_IACFCollection> mIACFCollection;
    AAX_VDescriptionHost mDescriptionHost;
    std::set<AAX_IEffectDescriptor*> mEffectDescriptors;
    std::set<AAX_IPropertyMap*> mPropertyMaps;
};
