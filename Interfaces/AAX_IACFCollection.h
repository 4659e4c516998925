#pragma once

#include "AAX.h"
#include "acfunknown.h"

// The host's collection component, version 1. Methods 3 to 6 exist in the host's table but the plug-in
// never calls them.
class AAX_IACFCollection : public IACFUnknown
{
public:
    virtual AAX_Result ReservedMethod3() = 0;
    virtual AAX_Result ReservedMethod4() = 0;
    virtual AAX_Result ReservedMethod5() = 0;
    virtual AAX_Result ReservedMethod6() = 0;
    virtual AAX_Result AddEffect(const char* inEffectID, IACFUnknown* inEffectDescriptor) = 0; // 7
    virtual AAX_Result SetManufacturerName(const char* inPackageName) = 0;                     // 8
    virtual AAX_Result AddPackageName(const char* inPackageName) = 0;                          // 9
    virtual AAX_Result SetPackageVersion(uint32_t inVersion) = 0;                              // 10
    virtual AAX_Result SetProperties(IACFUnknown* inProperties) = 0;                           // 11
protected:
    ~AAX_IACFCollection() = default;
};
