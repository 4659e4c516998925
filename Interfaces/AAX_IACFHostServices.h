// The host's host-services interfaces. Each version's table of functions begins with the earlier one's.
#pragma once

#include "AAX.h"
#include "ACF/acfunknown.h"

// IID_IAAXHostServicesV1
class AAX_IACFHostServices : public IACFUnknown
{
public:
    // Method 3: older assertion entry; the library never calls it.
    virtual AAX_Result Assert(const char* file, int32_t line, const char* note) = 0;
    // Method 4.
    virtual AAX_Result Trace(int32_t priority, const char* message) = 0;

protected:
    ~AAX_IACFHostServices() = default;
};

// IID_IAAXHostServicesV2
class AAX_IACFHostServices_V2 : public AAX_IACFHostServices
{
public:
    // Method 5.
    virtual AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) = 0;

protected:
    ~AAX_IACFHostServices_V2() = default;
};

// IID_IAAXHostServicesV3
class AAX_IACFHostServices_V3 : public AAX_IACFHostServices_V2
{
public:
    // Method 6.
    virtual AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) = 0;

protected:
    ~AAX_IACFHostServices_V3() = default;
};
